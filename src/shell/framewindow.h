#pragma once
// A frameless main window that behaves like a framed one: its border resizes it and is drawn
// in the skin's colour, it maximises and restores itself where no window manager does, and
// it says when its state changed.
#include <QMainWindow>

class Desktop;

class FrameWindow : public QMainWindow {
    Q_OBJECT
  public:
    FrameWindow(Desktop &desktop, QWidget *parent);
    void toggleMaximised();
    void setBorderColour(const QColor &colour);
    // The geometry stored in the file (twips), brought onto a screen, or the default size;
    // and a normal geometry saved back.
    void restoreGeometryFrom(const QString &path);
    void saveGeometryTo(const QString &path, const QRect &normal);
    // The resize border is no client area.
    Qt::Edges edgesAt(const QPoint &pos) const;

  signals:
    void WindowStateChanged();

  protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

  private:
    Desktop &desktop_;
    QColor border_ = QColor(0x9b, 0xcb, 0xff).darker(125);
    QRect normalGeometry_;  // the size a maximised frame restores to
};
