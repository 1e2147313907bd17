#include "pagequestions.h"

#include <QHash>
#include <QPointer>
#include <QRandomGenerator>
#include <QUrlQuery>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include "webpage.h"

namespace pagequestions {

namespace {

QHash<QByteArray, QPointer<Page>> &pages() {
    static QHash<QByteArray, QPointer<Page>> all;
    return all;
}

// The page's own scripts run after this and may replace what it uses: it keeps the originals.
// A long text is cut before it becomes an address (the engine takes 2 MiB at most).
constexpr char kSource[] = R"js((function () {
  'use strict';
  var X = XMLHttpRequest, P = X.prototype, apply = Reflect.apply, str = String;
  var open = P.open, send = P.send, enc = encodeURIComponent;
  var status = Object.getOwnPropertyDescriptor(P, 'status').get;
  var body = Object.getOwnPropertyDescriptor(P, 'responseText').get;
  var engine = { alert: window.alert, confirm: window.confirm, prompt: window.prompt };
  function ask(kind, text, value) {
    try {
      var x = new X();
      apply(open, x, ['GET', '%1:%2?k=' + kind + '&m=' + enc(text.slice(0, 20000)) +
                             '&v=' + enc(value.slice(0, 20000)), false]);
      apply(send, x, []);
      return apply(status, x, []) === 200 ? apply(body, x, []) : null;
    } catch (e) {
      return null;
    }
  }
  function optional(v) { return v === undefined ? '' : str(v); }
  var own = {
    alert: function alert() {
      if (ask('alert', arguments.length ? str(arguments[0]) : '', '') === null)
        return apply(engine.alert, window, arguments);
    },
    confirm: function confirm() {
      var r = ask('confirm', optional(arguments[0]), '');
      return r === null ? apply(engine.confirm, window, arguments) : r.charAt(0) === '1';
    },
    prompt: function prompt() {
      var r = ask('prompt', optional(arguments[0]), optional(arguments[1]));
      if (r === null) return apply(engine.prompt, window, arguments);
      return r.charAt(0) === '1' ? r.slice(1) : null;
    }
  };
  for (var name in own)
    Object.defineProperty(window, name,
                          { value: own[name], writable: true, configurable: true, enumerable: true });
})();)js";

}  // namespace

void RegisterScheme() {
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled |
                    QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void Serve(QWebEngineProfile *profile) {
    profile->installUrlSchemeHandler(kScheme, new QuestionScheme(profile));
}

QWebEngineScript Script(const QByteArray &token) {
    QWebEngineScript script;
    script.setName(QStringLiteral("olumetta-questions"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(
        QString::fromLatin1(kSource).arg(QLatin1String(kScheme), QString::fromLatin1(token)));
    return script;
}

QByteArray Enrol(Page *page) {
    quint64 bits[2];
    QRandomGenerator::system()->fillRange(bits);
    const QByteArray token = QByteArray(reinterpret_cast<const char *>(bits), sizeof bits).toHex();
    pages().insert(token, page);
    return token;
}

void Leave(const QByteArray &token) {
    pages().remove(token);
}

bool Parse(const QUrl &url, Question *question) {
    if (url.scheme() != QLatin1String(kScheme)) return false;
    const QUrlQuery query(url);
    const QString kind = query.queryItemValue(QStringLiteral("k"));
    if (kind == QLatin1String("alert"))
        question->kind = Question::Alert;
    else if (kind == QLatin1String("confirm"))
        question->kind = Question::Confirm;
    else if (kind == QLatin1String("prompt"))
        question->kind = Question::Prompt;
    else
        return false;
    question->token = url.path().toLatin1();
    question->text = query.queryItemValue(QStringLiteral("m"), QUrl::FullyDecoded);
    question->value = query.queryItemValue(QStringLiteral("v"), QUrl::FullyDecoded);
    return true;
}

}  // namespace pagequestions

void QuestionScheme::requestStarted(QWebEngineUrlRequestJob *job) {
    pagequestions::Question q;
    Page *page = nullptr;
    if (job->requestMethod() == "GET" && pagequestions::Parse(job->requestUrl(), &q))
        page = pagequestions::pages().value(q.token);
    if (!page) return job->fail(QWebEngineUrlRequestJob::RequestDenied);
    page->question(job, q);
}
