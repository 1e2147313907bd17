#pragma once
// "程序设置": every setting of section "Setting" on two pages, behind the password.
// Loaded afresh at each opening; Apply and OK write every field back, Cancel writes nothing.
#include <QColor>
#include <QDialog>
#include <functional>

#include "settingfields.h"

class Platform;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
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
    // The controls, named as the settings they hold (their object names too).
    QWidget *picCapt, *picPass, *picPassCore;
    QLabel *lblCapt, *lblPass, *imgCustom, *picInput;
    QLineEdit *txtPsw, *txtHome, *txtPass, *txtTime[2];
    QPushButton *cmdPass, *cmdOK, *cmdApply, *cmdCancel, *cmdMore, *cmdSetBrw, *cmdKey;
    QRadioButton *optSet[2], *optOpen[2], *optSearch[3], *optSH[4];
    QCheckBox *chkHome, *chkOpenNav, *chkUpdate, *chkHistory, *chkUnload, *chkAutoSet, *chkAuto,
        *chkUseF, *chkFilter[3], *chkPass[2], *chkOpenP, *chkMess;
    QPlainTextEdit *txtFilter, *txtMess;
    QComboBox *cboWeek[2];
    QStackedWidget *ssSet;

    QWidget *buildLockPanel(const Colours &colours);
    QWidget *buildProgramPage();
    QWidget *buildPrivatePage();
    void Load();
    void loadField(const settingform::Field &f, const QString &text);
    std::optional<QString> storedField(const settingform::Field &f) const;
    QList<QRadioButton *> options(const settingform::Field &f) const;
    void updateEnabling();
    void chooseCustomPicture();
    bool showCustomPicture(const QString &path);
    void showRestoreKey();
    void tryUnlock(const QString &typed);

    Platform &platform_;
    std::function<void()> registerBrowser_;
    QStackedWidget *layers_;  // the lock panel over the pages
    QString customPicture_;   // the remembered custom-picture path
    QString restoreKey_;      // empty: none stored or pressed yet
    bool askingForKey_ = false;
};
