#pragma once
// The status strip under the tabs: the active page's status, the gesture being drawn, the
// zoom label (left click in, right click out, middle click back to 100 %). A click on the
// status of blocked pop-ups asks for them; a right click on the strip for the menu.
#include <QWidget>

#include "framelayout.h"

class QLabel;

class StatusStrip : public QWidget {
    Q_OBJECT
  public:
    explicit StatusStrip(QWidget *parent);

    void setStatus(const QString &text);
    void setZoom(const QString &percent);      // "150", as the setting and the page hold it
    void setGestureText(const QString &text);  // a gesture, with itself as tool tip
    void setGesturesOn(bool on);               // "鼠标手势" / "关闭手势"
    // The skin: the background colour and picture, text readable on either.
    void setSkin(const QColor &bar, const QPixmap &background, int heightTwips);
    QColor textColour() const;
    // Whether the zoom label is at this point of the screen: its middle click is its own.
    bool zoomLabelAt(const QPoint &global) const;
    // The labels' places from the frame's layout rules.
    void place(const chrome::ResizeLayout &layout);

  signals:
    void ZoomClicked(int direction);  // +1, -1, 0 for 100 %
    void StatusClicked();
    void MenuRequested(const QPoint &global);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    int px(int twips) const;
    QLabel *imgStaBG, *lblSta, *lblMouse, *lblZoom;
};
