#pragma once
// The add-bookmark dialog: the page's title as the name, its address, and "添加" writes
// 书签/<name>.zvb.
#include <QDialog>

class Dialogs;
class QLabel;
class QLineEdit;
class QPushButton;

class frmAddFav : public QDialog {
    Q_OBJECT
  public:
    frmAddFav(Dialogs &dialogs, QWidget *parent = nullptr);
    // What the frame fills in before showing it: the active tab's caption and address.
    void Fill(const QString &name, const QString &url);

    QLabel *imgIcon;
    QLineEdit *txtName, *txtUrl;
    QPushButton *cmdAdd, *cmdCancel;

    void cmdAdd_Click();

  private:
    Dialogs &dialogs_;
};
