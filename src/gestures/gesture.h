#pragma once
// Middle-button strokes as text: sampling turns cursor points into direction characters,
// and a finished gesture names its fixed command, its loops and the user's own commands.
#include <QPoint>
#include <QString>
#include <QStringList>

namespace gesture {

enum Direction { None = -1, Right = 0, Up = 1, Left = 2, Down = 3 };

// "右", "上", "左", "下"; "无" for any other code.
QString DirectionName(int code);

class Recogniser {
  public:
    void start(QPoint at);
    // The direction of a move from the last accepted sample (screen pixels), or None while
    // the cursor is within 5 pixels of it; a change of direction adds a character.
    int sample(QPoint at);
    QString text() const { return text_; }
    int lastDirection() const { return last_; }

  private:
    QPoint origin_;
    int last_ = None;
    QString text_;
};

// The fixed commands in the order they are tried: back, forward, close the tab, a new
// tab, home, search.
enum class Fixed { None, Back, Forward, CloseTab, NewTab, Home, Search };
Fixed FixedCommand(const QString &gesture);
// How many of the six loop patterns the gesture holds: one refresh each.
int LoopCount(const QString &gesture);
// What the user's own entries of section "Mouse" in the settings file open for this
// gesture, in their order ("Custom" entries "c"+i, "m"+i).
QStringList UserCommands(const QString &gesture);

}  // namespace gesture
