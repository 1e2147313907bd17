#pragma once
// "程序设置": every setting of section "Setting" on two pages, behind the password.
// Loaded afresh at each opening; Apply and OK write every field back, Cancel writes nothing.
#include <QColor>
#include <QDialog>
#include <functional>

#include "settingfields.h"

class Platform;
class PrivatePage;
class ProgramPage;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

class frmSetting : public QDialog {
    Q_OBJECT
  public:
    struct Colours {
        QColor cover;  // the frame's progress colour: the lock panel and the caption's text
        QColor strip;  // the frame's status strip: the caption strip
    };
    // registerBrowser makes this program the desktop's default browser.
    frmSetting(Platform &platform, const Colours &colours, std::function<void()> registerBrowser,
               QWidget *parent);

    bool isLocked() const;

    // Writes every field; false (after saying why, writing nothing) for a password the
    // store could not read back.
    bool cmdApply_Click();
    void cmdPass_Click();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QWidget *picCapt, *picPass, *picPassCore;
    QLabel *lblCapt, *lblPass;
    QLineEdit *txtPsw;
    QPushButton *cmdPass, *cmdOK, *cmdApply, *cmdCancel;
    QRadioButton *optSet[2];
    QStackedWidget *ssSet;
    ProgramPage *program_;
    PrivatePage *private_;

    QWidget *buildLockPanel(const Colours &colours);
    void Load();
    void loadField(const settingform::Field &f, const QString &text);
    std::optional<QString> storedField(const settingform::Field &f) const;
    QList<QRadioButton *> options(const settingform::Field &f) const;
    void tryUnlock(const QString &typed);

    Platform &platform_;
    QStackedWidget *layers_;  // the lock panel over the pages
};
