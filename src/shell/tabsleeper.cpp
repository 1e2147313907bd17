#include "tabsleeper.h"

#include "core/settings.h"
#include "platform/platform.h"
#include "platform/webview.h"
#include "tab/form1.h"
#include "tabset.h"

TabSleeper::TabSleeper(TabSet *tabs, Platform &platform, QObject *parent)
    : QObject(parent), tabs_(tabs), platform_(platform) {
    next_.setSingleShot(true);
    connect(&next_, &QTimer::timeout, this, &TabSleeper::review);
    connect(tabs, &TabSet::Created, this,
            [this](Form1 *t) { hiddenSince_.insert(t, platform_.clock().steadyMs()); });
    connect(tabs, &TabSet::Closing, this, [this](Form1 *t) {
        hiddenSince_.remove(t);
        if (front_ == t) front_ = nullptr;
    });
    connect(tabs, &TabSet::ActiveChanged, this, [this](Form1 *t) {
        if (front_) hiddenSince_.insert(front_, platform_.clock().steadyMs());
        front_ = t;
        review();
    });
    connect(tabs, &TabSet::PageLoaded, this, &TabSleeper::review);
}

void TabSleeper::review() {
    const QList<Form1 *> all = tabs_->all();
    const qint64 now = platform_.clock().steadyMs();
    const int limit = settings::Leading(settings::Key::TabsInMemory);
    // Memory matters only where a tab behind could give some back.
    bool behind = false;
    for (Form1 *t : all) behind |= t != front_ && t->restState() != tabrest::Rest::Discarded;
    const bool short_ = behind && tabrest::ShortOfMemory(platform_.memory());
    tabrest::Plan plan;
    // A page may stop short of the plan (typed form text is judged once it is frozen): then
    // the plan is made again with what it allows.
    for (int pass = 0; pass < 2; ++pass) {
        QList<tabrest::Tab> state;
        for (Form1 *t : all)
            state.append({t == front_, hiddenSince_.value(t), t->restState(),
                          t == front_ ? tabrest::Rest::Awake : t->deepestRest()});
        plan = tabrest::Decide(state, now, limit, short_);
        bool stopped = false;
        for (int i = 0; i < all.size(); ++i) {
            if (plan.rest[i] == state[i].now) continue;
            all[i]->setRest(plan.rest[i]);
            stopped |= all[i]->restState() != plan.rest[i];
        }
        if (!stopped) break;
    }
    qint64 next = plan.nextMs < 0 ? -1 : plan.nextMs - now;
    if (behind && (next < 0 || next > tabrest::kMemoryLookMs)) next = tabrest::kMemoryLookMs;
    if (next < 0)
        next_.stop();
    else
        next_.start(int(qBound<qint64>(0, next, tabrest::kMemoryLookMs)));
}
