#pragma once
// The two pages of "程序设置". Each holds its controls, named as the settings they hold, and
// what cannot be read off a control alone: the filter's boxes, the custom picture, the
// restore key, the new password, the message's length.
#include <QWidget>
#include <functional>
#include <optional>

class Platform;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace settingpage {
// A control named as its setting.
template <typename W>
W *named(W *w, const QString &name) {
    w->setObjectName(name);
    return w;
}
// A password box: "*" for each character, no input method.
QLineEdit *passwordBox(QWidget *parent, const QString &name);
}  // namespace settingpage

// "程序": the home page, what happens at start, the filter, more settings.
class ProgramPage : public QWidget {
    Q_OBJECT
  public:
    // registerBrowser makes this program the desktop's default browser.
    ProgramPage(Platform &platform, std::function<void()> registerBrowser);
    // "Filter": the three boxes as the setting's text, and back.
    void setFilter(const QString &text);
    QString filter() const;
    void setRegistered();  // this program is the default browser already
    void updateEnabling();

  private:
    Platform &platform_;
    std::function<void()> registerBrowser_;
    QLineEdit *txtHome;
    QCheckBox *chkHome, *chkUseF, *chkFilter[3];
    QPlainTextEdit *txtFilter;
    QPushButton *cmdSetBrw;
};

// "私人": the search engine, the boss key's picture and restore key, the password, parental
// control.
class PrivatePage : public QWidget {
    Q_OBJECT
  public:
    explicit PrivatePage(Platform &platform);
    void setMessage(const QString &text);
    QString message() const;  // on one line
    // Kept even when the picture will not show now: Apply must not lose it.
    void setPicture(const QString &path);
    QString picture() const { return customPicture_; }
    void setRestoreKey(const QString &key);
    // None while it waits for a key, or when none was ever given: what is stored stays.
    std::optional<QString> restoreKey() const;
    QString newPassword() const;  // empty: unchanged
    void clearPassword();
    void updateEnabling();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void chooseCustomPicture();
    bool showCustomPicture(const QString &path);
    void showRestoreKey();

    Platform &platform_;
    QRadioButton *optSH[4];
    QLabel *picInput, *imgCustom;
    QPushButton *cmdKey;
    QLineEdit *txtPass, *txtTime[2];
    QCheckBox *chkOpenP, *chkMess;
    QComboBox *cboWeek[2];
    QPlainTextEdit *txtMess;
    QString customPicture_;  // the remembered custom-picture path
    QString restoreKey_;     // empty: none stored or pressed yet
    bool askingForKey_ = false;
};
