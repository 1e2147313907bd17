#pragma once
// The bar under the tab strip after a run that did not end normally:
// "上次未正常关闭。恢复选项卡？ [恢复] [关闭]".
#include <QFrame>

class RestoreBar : public QFrame {
    Q_OBJECT
  public:
    explicit RestoreBar(QWidget *parent);

  signals:
    void RestoreClicked();
    void DismissClicked();
};
