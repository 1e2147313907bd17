#pragma once
// The page's troubles a tab says in its notice panel: its process died, or its certificate is
// not to be trusted. Each notice offers what the user can do about it.
#include <functional>

class NoticePanel;
class QObject;
class QString;
class WebView;

struct PageTroubleHooks {
    std::function<NoticePanel *()> notice;  // made on first use
    // The user goes on to a host despite its certificate, before the engine hears so.
    std::function<void(const QString &host)> trusted;
};

// Wired for as long as context lives.
void WatchPageTroubles(WebView *view, QObject *context, const PageTroubleHooks &hooks);
