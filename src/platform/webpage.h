#pragma once
// The engine's page of one view: a page's own questions (script dialogs, logins, the file
// chooser) are asked over it, and bookmark files open as the desktop opens them.
#include <QPointer>
#include <QWebEnginePage>
#include <optional>
#include <utility>

#include "pagedialog.h"

class QWebEngineView;
class QtWebView;

class Page : public QWebEnginePage {
  public:
    Page(QWebEngineProfile *profile, QtWebView *owner);
    // Its tab goes: every question of the page still open is cancelled.
    void cancelDialogs();
    // A login the page's site or a proxy asks for, over the page like the page's questions:
    // the user and the password, or none when cancelled.
    std::optional<std::pair<QString, QString>> askLogin(const QString &text);

  protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    // No script dialogs about script errors: the console is where they go.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int,
                                  const QString &) override {}
    void javaScriptAlert(const QUrl &origin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &origin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &defaultValue,
                          QString *result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;

  private:
    // The answer: OK with a prompt's text, or none for cancel. A silenced page is answered at
    // once: an alert OK, the others cancel.
    std::optional<QString> ask(PageDialog::Kind kind, const QUrl &origin, const QString &text,
                               const QString &value);
    std::optional<QString> wait(PageDialog &dialog, QWebEngineView *view);

    QPointer<QtWebView> owner_;
    int asked_ = 0;  // questions since the page last navigated
    bool silenced_ = false;
};
