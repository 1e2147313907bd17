#pragma once
// "更多设置": what the web profile keeps of the user's browsing, cleared on request, and how
// many tabs stay in memory.
#include <QDialog>

class Platform;
class QCheckBox;
class QPushButton;
class QSpinBox;

class frmMore : public QDialog {
    Q_OBJECT
  public:
    frmMore(Platform &platform, QWidget *parent);

    QCheckBox *chkHistory, *chkCache, *chkCookies;
    QPushButton *cmdClear, *cmdClose;
    QSpinBox *txtTabs;  // written as it changes

  private:
    void cmdClear_Click();
    Platform &platform_;
};
