#pragma once
#include <QPixmap>
#include <QWidget>

// The logo area: background picture, a line through the middle and two rings.
class LogoArea : public QWidget {
  public:
    explicit LogoArea(QWidget *parent);
    QPixmap background;
    QRect shape[2];  // pixels
    int lineY = 0;
    QColor border;
    bool decorated = true;  // a narrow frame shows the buttons alone

  protected:
    void paintEvent(QPaintEvent *) override;
};
