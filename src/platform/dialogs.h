#pragma once
// Message boxes and common dialogs behind one interface, so windows can be tested
// offscreen with scripted answers.
#include <QColor>
#include <QString>
#include <optional>
#include <utility>

class QWidget;

class Dialogs {
  public:
    enum Icon { NoIcon, Information, Exclamation, Critical, Question };
    // RestoreQuit: "恢复默认设置" (AnswerYes) and "退出" (AnswerNo).
    enum Buttons { Ok, OkCancel, YesNo, YesNoCancel, RestoreQuit };
    enum Answer { AnswerOk, AnswerCancel, AnswerYes, AnswerNo };

    virtual ~Dialogs();
    // The folder a download was last saved to in this run; empty before the first.
    QString lastDownloadFolder;
    // While the boss key's disguise shows, nothing of ours may come up: a notice waits for
    // the release, and a question waits there before it is asked.
    virtual void hold(bool on) { held_ = on; }
    bool held() const { return held_; }
    // For a dialog not shown through this interface: returns once the disguise is gone.
    virtual void waitForRelease() {}
    virtual Answer MsgBox(QWidget *parent, const QString &text, const QString &title, Icon icon,
                          Buttons buttons = Ok) = 0;
    // The chosen path, or empty when the dialog was cancelled. filter is "所有文件|*.*".
    // A message that does not wait for its answer.
    virtual void Notice(QWidget *parent, const QString &text, const QString &title, Icon icon) = 0;
    virtual QString ShowSave(QWidget *parent, const QString &title, const QString &filter,
                             const QString &fileName) = 0;
    virtual QString ShowOpen(QWidget *parent, const QString &title, const QString &filter) = 0;
    virtual std::optional<QColor> ShowColor(QWidget *parent, const QColor &initial) = 0;
    virtual std::optional<QString> InputBox(QWidget *parent, const QString &prompt,
                                            const QString &title, const QString &defaultText) = 0;

  private:
    bool held_ = false;
};

// "描述|*.a;*.b|描述2|*.c" as the file dialogs of this platform want it.
QString QtNameFilter(const QString &filter);
