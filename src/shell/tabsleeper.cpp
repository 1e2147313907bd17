#include "tabsleeper.h"

#include "core/clock.h"
#include "core/settings.h"
#include "platform/webview.h"
#include "tab/form1.h"
#include "tabset.h"

TabSleeper::TabSleeper(TabSet *tabs, Clock &clock, QObject *parent)
    : QObject(parent), tabs_(tabs), clock_(clock) {
    next_.setSingleShot(true);
    connect(&next_, &QTimer::timeout, this, &TabSleeper::review);
    connect(tabs, &TabSet::Created, this,
            [this](Form1 *t) { hiddenSince_.insert(t, clock_.steadyMs()); });
    connect(tabs, &TabSet::Closing, this, [this](Form1 *t) {
        hiddenSince_.remove(t);
        if (front_ == t) front_ = nullptr;
    });
    connect(tabs, &TabSet::ActiveChanged, this, [this](Form1 *t) {
        if (front_) hiddenSince_.insert(front_, clock_.steadyMs());
        front_ = t;
        review();
    });
    connect(tabs, &TabSet::Visited, this, &TabSleeper::review);
}

void TabSleeper::review() {
    const QList<Form1 *> all = tabs_->all();
    const qint64 now = clock_.steadyMs();
    tabrest::Plan plan;
    // A page may stop short of the plan (typed form text is judged once it is frozen): then
    // the plan is made again with what it allows.
    for (int pass = 0; pass < 2; ++pass) {
        QList<tabrest::Tab> state;
        for (Form1 *t : all)
            state.append({t == front_, hiddenSince_.value(t), t->restState(),
                          t == front_ ? tabrest::Rest::Awake : t->deepestRest()});
        plan = tabrest::Decide(state, now, settings::Leading(settings::Key::TabsInMemory));
        bool short_ = false;
        for (int i = 0; i < all.size(); ++i) {
            if (plan.rest[i] == state[i].now) continue;
            all[i]->setRest(plan.rest[i]);
            short_ |= all[i]->restState() != plan.rest[i];
        }
        if (!short_) break;
    }
    if (plan.nextMs < 0)
        next_.stop();
    else
        next_.start(int(qBound<qint64>(0, plan.nextMs - now, tabrest::kDiscardMs)));
}
