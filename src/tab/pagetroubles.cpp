#include "pagetroubles.h"

#include <QUrl>

#include "notices.h"
#include "platform/webview.h"

void WatchPageTroubles(WebView *view, QObject *context, const PageTroubleHooks &hooks) {
    QObject::connect(view, &WebView::RenderProcessGone, context, [view, hooks] {
        hooks.notice()->showNotice(
            QStringLiteral("此网页已崩溃"),
            QStringLiteral("显示此网页的进程意外结束了（可能是内存不足、程序出错或被结束）。"
                           "其他选项卡不受影响。"),
            {{QStringLiteral("重新加载"), [view] { view->Refresh(); }}});
    });
    QObject::connect(
        view, &WebView::CertificateProblem, context,
        [view, hooks](const QString &url, const QString &description) {
            hooks.notice()->showNotice(
                QStringLiteral("您的连接不是私密连接"),
                QStringLiteral("%1 的安全证书不可信任：%2\n攻击者可能会试图窃取您的信息"
                               "（例如密码、消息或信用卡信息）。")
                    .arg(url, description),
                {{QStringLiteral("返回"),
                  [view] {
                      view->AnswerCertificate(false);
                      view->GoBack();  // to the page the user came from, if any
                  }},
                 {QStringLiteral("继续前往（不安全）"), [view, hooks, url] {
                      hooks.trusted(QUrl(url).host());
                      view->AnswerCertificate(true);
                  }}});
        });
}
