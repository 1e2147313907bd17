#pragma once
// A page's alert, confirm and prompt, asked without holding up the engine. The engine asks
// them synchronously, and an event loop waiting inside its call stops every other tab's
// work. So a script of ours in each page (run before the page's own) puts its own functions
// in their place: they ask through a synchronous request to a scheme of ours, which blocks
// only the asking page's renderer; the answer is the request's reply, sent when the user
// answers. Where that cannot run (a page that forbids synchronous requests), the engine's own
// functions remain.
#include <QByteArray>
#include <QString>
#include <QWebEngineUrlSchemeHandler>

class QWebEngineProfile;
class QWebEngineScript;
class Page;

namespace pagequestions {

constexpr char kScheme[] = "olumetta-ask";

// Before the engine starts: the scheme's security rules (reachable from every page, past a
// page's content rules, no mixed content).
void RegisterScheme();
// Each profile answers its own pages' questions.
void Serve(QWebEngineProfile *profile);

// The script a page with this token runs in every frame.
QWebEngineScript Script(const QByteArray &token);

// A new page's token, and the page it names until the page goes.
QByteArray Enrol(Page *page);
void Leave(const QByteArray &token);

// What a question's request carries.
struct Question {
    enum Kind { Alert, Confirm, Prompt } kind = Alert;
    QByteArray token;
    QString text;
    QString value;  // a prompt's default
};
// False when the address is no question of ours.
bool Parse(const QUrl &url, Question *question);

}  // namespace pagequestions

class QuestionScheme : public QWebEngineUrlSchemeHandler {
  public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob *job) override;
};
