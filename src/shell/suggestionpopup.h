#pragma once
// The suggestions below the address box while the user types: a list that never takes the
// keyboard (the box keeps it and moves the choice), the typed text shown bold in each line.
#include <QListWidget>

class SuggestionPopup : public QListWidget {
    Q_OBJECT
  public:
    explicit SuggestionPopup(QWidget *owner);
    struct Line {
        QString text;     // as shown
        QString address;  // what it opens
    };
    // The lines under the widget, or hidden when there are none.
    void showUnder(QWidget *anchor, const QList<Line> &lines, const QString &typed);
    void step(int delta);                 // Down/Up: the next or previous line; past the ends, none
    QString chosen() const;               // the chosen line's address; empty while none is chosen
    void choose(const QString &address);  // that line, when it is offered; else none
    void removeChosen();

  signals:
    void Clicked(const QString &address);

  private:
    void choose(int row);  // -1: none
};
