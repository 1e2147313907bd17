#pragma once
// The toolbar, which is also the frame's title bar: the skin's background, the back,
// forward, stop/refresh and menu buttons, the load progress behind the address box, the
// logo area with the caption buttons. Dragging its background moves the frame, a double
// click maximises or restores it, a right click asks for the menu.
#include <QTimer>
#include <QWidget>

#include "core/command.h"
#include "framelayout.h"

class CaptionButton;
class LogoArea;
class PictureButton;
class QLabel;
struct Skin;

class ToolBar : public QWidget {
    Q_OBJECT
  public:
    // address: the address box, laid out here by the skin's rules.
    ToolBar(QWidget *parent, QWidget *address);

    // The skin's pictures, colours and positions: the status strip's height in twips.
    int setSkin(const Skin &skin);
    QColor barColour() const;
    QColor coverColour() const;  // the progress colour, which also covers locked pages
    // The layout rules for this width: what the status strip is to do with them too.
    chrome::ResizeLayout layout(int staBarHeightTwips);

    void showProgress(int progress, int progressMax);
    void hideProgress();
    void setProgressShown(bool on);  // the "载入进度" check mark
    void showStopButton();
    void showRefreshButton();
    void setHistoryEnabled(bool back, bool forward);
    void setMaximisedGlyph(bool maximised);

  signals:
    void CommandRequested(Command command);
    void MenuButtonClicked(const QPoint &global);
    void MaximiseToggled();
    void MinimiseRequested();
    void MenuRequested(const QPoint &global);
    void Resized();

  protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void loadButtonPicture(int index, bool pressed);
    void placeLogo();
    bool drag(QEvent *event);
    int px(int twips) const;
    int twips(int pixels) const;

    QWidget *address_;
    QLabel *imgBG, *lblPro;
    PictureButton *picTBtn[5];
    LogoArea *picLogo;
    CaptionButton *picCtl[3];
    chrome::SkinPositions skinPositions_{};
    QSize buttonSize_[5];  // twips
    int logoCut_ = 0;      // twips, on a narrow frame
    bool progressShown_ = true;
    QTimer menuClick_;   // a single click on the menu button waits for a possible second
    QPoint dragOffset_;  // where a move grabbed the frame
    enum class Drag { None, Pressed, System, Own } drag_ = Drag::None;
    QString skinFile_;
};
