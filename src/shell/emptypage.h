#pragma once
#include <QWidget>

// What the frame shows while no tab is open: how to open one. A double-click opens one.
class EmptyPage : public QWidget {
    Q_OBJECT
  public:
    explicit EmptyPage(QWidget *parent);

  signals:
    void newTabRequested();

  protected:
    void paintEvent(QPaintEvent *) override;
    void mouseDoubleClickEvent(QMouseEvent *) override;
};
