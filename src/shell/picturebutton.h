#pragma once
#include <QAbstractButton>
#include <QPixmap>

// A toolbar button that is its picture: sized to it, pressed picture swapped in by the frame.
class PictureButton : public QAbstractButton {
    Q_OBJECT
  public:
    explicit PictureButton(QWidget *parent);
    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return picture_; }
    QSize sizeHint() const override;

  signals:
    void doubleClicked();

  protected:
    void paintEvent(QPaintEvent *) override;
    void mouseDoubleClickEvent(QMouseEvent *) override;
    void enterEvent(QEnterEvent *) override { update(); }
    void leaveEvent(QEvent *) override { update(); }

  private:
    QPixmap picture_;
};
