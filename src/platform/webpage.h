#pragma once
// The engine's page of one view: a page's own questions (script dialogs, logins, the file
// chooser) are asked over it, and bookmark files open as the desktop opens them.
#include <QPointer>
#include <QSet>
#include <QWebEnginePage>
#include <functional>
#include <optional>

#include "pagedialog.h"
#include "pagequestions.h"

class QAuthenticator;
class QWebEngineUrlRequestJob;
class QWebEngineView;
class QtWebView;

class Page : public QWebEnginePage {
  public:
    Page(QWebEngineProfile *profile, QtWebView *owner);
    ~Page() override;
    // Its tab goes, or it is sent elsewhere: every question of the page still open is
    // cancelled.
    void cancelDialogs();
    // An engine's question waits on the stack for its answer.
    bool waiting() const { return waiting_ > 0; }
    // A question of the page's script, answered through the job when the user answers.
    void question(QWebEngineUrlRequestJob *job, const pagequestions::Question &q);
    // The engine asks for a login (of the site, or of proxy when named): answered at once
    // from what the user typed for it in this session, else cancelled while the page's login
    // bar asks, after which the page loads again.
    void login(const QUrl &url, QAuthenticator *auth, const QString &proxy);

  protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    // No script dialogs about script errors: the console is where they go.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int,
                                  const QString &) override {}
    // The engine's own questions: those of a page our functions cannot serve, and leaving a
    // page that asks to be kept.
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
    void askLogin(const QString &key, const QString &text);
    void openDialog(PageDialog *dialog, std::function<void(PageDialog *)> done);

    QPointer<QtWebView> owner_;
    QByteArray token_;  // names this page to the question scheme
    int asked_ = 0;     // questions since the page last navigated
    int waiting_ = 0;
    bool silenced_ = false;
    QPointer<PageDialog> open_;  // the one question shown
    QSet<QString> triedLogins_;  // logins answered from memory in this load
};
