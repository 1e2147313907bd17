#pragma once
#include "dialogs.h"

#include <QList>
#include <QObject>
#include <functional>

class QtDialogs : public QObject, public Dialogs {
    Q_OBJECT
  public:
    void hold(bool on) override;
    void waitForRelease() override;
    Answer MsgBox(QWidget *parent, const QString &text, const QString &title, Icon icon,
                  Buttons buttons) override;
    void Notice(QWidget *parent, const QString &text, const QString &title, Icon icon) override;
    QString ShowSave(QWidget *parent, const QString &title, const QString &filter,
                     const QString &fileName) override;
    QString ShowOpen(QWidget *parent, const QString &title, const QString &filter) override;
    std::optional<QColor> ShowColor(QWidget *parent, const QColor &initial) override;
    std::optional<QString> InputBox(QWidget *parent, const QString &prompt, const QString &title,
                                    const QString &defaultText) override;

  signals:
    void Released();

  private:
    QList<std::function<void()>> waiting_;  // notices raised while held
};
