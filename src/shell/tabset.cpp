#include "tabset.h"

#include <QGridLayout>
#include <QMimeData>
#include <QStackedWidget>
#include <algorithm>

#include "core/bookmarks.h"
#include "core/settings.h"
#include "core/timing.h"
#include "drops.h"
#include "emptypage.h"
#include "platform/webview.h"
#include "tab/form1.h"
#include "tabstrip.h"

namespace {
constexpr int kClosedTabsKept = 10;
}  // namespace

TabSet::TabSet(Platform &platform, Downloads downloads, QWidget *parent)
    : QObject(parent), platform_(platform), downloads_(std::move(downloads)) {
    strip_ = new TabStrip(parent);
    body_ = new QWidget(parent);
    auto *cell = new QGridLayout(body_);
    cell->setContentsMargins(0, 0, 0, 0);
    children_ = new QStackedWidget(body_);
    emptyPage_ = new EmptyPage(body_);
    cell->addWidget(children_, 0, 0);
    cell->addWidget(emptyPage_, 0, 0);
    connect(emptyPage_, &EmptyPage::newTabRequested, this, &TabSet::NewTabRequested);
    connect(strip_, &TabStrip::NewTabRequested, this, &TabSet::NewTabRequested);
    connect(strip_, &QTabBar::tabMoved, this, [this] {
        runLast_ = nullptr;  // the run no longer lies in one piece
        emit Moved();
    });
    connect(strip_, &TabStrip::DropReceived, this, &TabSet::openDropped);
    connect(strip_, &TabStrip::CloseRequested, this,
            [this](QWidget *page) { close(static_cast<Form1 *>(page)); });
    connect(strip_, &QTabBar::currentChanged, this, [this](int index) {
        Form1 *t = tabAt(index);
        if (!t) return;
        children_->setCurrentWidget(t);
        runLast_ = nullptr;  // another tab in front starts another run
        t->wake();           // a restored tab's page loads when it is first shown
        follow(t);
        emit ActiveChanged(t);
    });
    showEmptyPage();
}

Form1 *TabSet::create(bool background, std::optional<int> at, bool offTheRecord) {
    auto *t = new Form1(platform_, *this, offTheRecord, children_);
    wire(t);
    emit Created(t);
    // Tabs opened behind the active one line up after it in the order they came, as in
    // other browsers.
    Form1 *from = background && !at ? active() : nullptr;
    const int last = from && from == runFrom_ && runLast_ ? strip_->indexOfPage(runLast_) : -1;
    const int index = at     ? qBound(0, *at, strip_->count())
                      : from ? (last >= 0 ? last : strip_->currentIndex()) + 1
                             : strip_->count();
    if (from) {
        runFrom_ = from;
        runLast_ = t;
    }
    children_->insertWidget(index, t);
    strip_->insertPage(index, t);
    if (offTheRecord) strip_->markPrivate(t);
    if (!background) strip_->setCurrentIndex(index);  // a tab that shows itself is active
    showEmptyPage();
    t->Load();
    // The strip's first tab becomes current before it is known, and says nothing then.
    if (t == active()) {
        follow(t);
        emit ActiveChanged(t);
    }
    homePage_ = settings::Text(settings::Key::HomePage);
    StartupMark("tab created");
    return t;
}

Form1 *TabSet::openNew(bool offTheRecord) {
    const bool hadHomePage = !homePage_.isEmpty();
    Form1 *t = create(false, std::nullopt, offTheRecord);
    if (settings::IsOn(settings::Key::IEHomePage))
        t->goHome();
    else if (settings::IsOn(settings::Key::OnOpen))
        t->navigate(settings::Text(settings::Key::LastPage));
    else if (hadHomePage)
        t->navigate(homePage_);
    show(t);
    return t;
}

Form1 *TabSet::openOn(const QString &address) {
    Form1 *t = create();
    t->navigate(address);
    show(t);
    return t;
}

void TabSet::openBlockedPopups() {
    if (Form1 *t = active(); t && t->hasBlockedPopups())
        for (const QString &url : t->takeBlockedPopups()) openOn(url);
}

Form1 *TabSet::openHome() {
    Form1 *t = create();
    t->goHome();
    show(t);
    return t;
}

// What only the front tab's page tells the frame: its signals alone are connected, again at
// every change of the front tab.
void TabSet::follow(Form1 *t) {
    for (const QMetaObject::Connection &c : std::as_const(following_)) disconnect(c);
    following_.clear();
    if (!t) return;
    following_ = {connect(t, &Form1::StatusTextChanged, this, &TabSet::ActiveStatus),
                  connect(t, &Form1::ProgressChanged, this, &TabSet::ActiveProgress),
                  connect(t, &Form1::CaptionChanged, this, &TabSet::ActiveTitleChanged),
                  connect(t, &Form1::HistoryChanged, this, &TabSet::ActiveHistoryChanged),
                  connect(t, &Form1::FindResult, this, &TabSet::ActiveFindResult),
                  connect(t, &Form1::SecurityChanged, this, &TabSet::ActiveSecurityChanged)};
}

void TabSet::wire(Form1 *t) {
    auto front = [this, t] { return t == active(); };
    connect(t, &Form1::CaptionChanged, this, [this, t] { strip_->setCaption(t, t->caption()); });
    connect(t, &Form1::IconChanged, this,
            [this, t](const QIcon &icon) { strip_->setPageIcon(t, icon); });
    if (t->keepsTrace()) {  // the one place the recorders hear of a tab
        connect(t, &Form1::CaptionChanged, this, [this, t] { emit Retitled(t); });
        connect(t, &Form1::IconChanged, this, [this, t] { emit IconChanged(t); });
        connect(t, &Form1::PageLoaded, this, [this, t] { emit Visited(t); });
        connect(t, &Form1::Closing, this, [this, t] { emit KeptClosing(t); });
    }
    connect(t, &Form1::FullScreenRequested, this, [this, t, front](bool on) {
        if (front() || !on) emit FullScreenRequested(t, on);
    });
    connect(t, &Form1::CloseRequested, this, [this, t] { close(t); });
    connect(t, &Form1::LockChanged, this, [this, t] { emit LockChanged(t); });
    connect(t, &Form1::AddressChanged, this, [this, t, front](const QString &url) {
        emit AddressReached(url, front(), t->listsPage());
    });
    connect(t, &Form1::PageLoaded, this,
            [this, front](const QString &zoom) { emit PageLoaded(zoom, front()); });
    connect(t, &Form1::BookmarkRequested, this,
            [this](const QString &path) { openOn(ReadBookmarkFile(path)); });
}

Form1 *TabSet::openTab(bool background, bool offTheRecord) {
    Form1 *t = create(background, std::nullopt, offTheRecord);
    if (!background) show(t);
    return t;
}

bool TabSet::download(const QString &path, const QString &url, Transfer *transfer,
                      bool offTheRecord) {
    if (!downloads_) return false;
    downloads_(path, url, transfer, offTheRecord);
    return true;
}

void TabSet::show(Form1 *tab) {
    const int index = strip_->indexOfPage(tab);
    if (index >= 0) strip_->setCurrentIndex(index);
}

void TabSet::close(Form1 *tab) {
    if (strip_->indexOfPage(tab) < 0) return;
    remember(tab);
    emit Closing(tab);
    emit tab->Closing();
    children_->removeWidget(tab);
    strip_->removePage(tab);
    tab->hide();
    tab->deleteLater();  // it may be closing from inside one of its own events
    // The last private tab takes every private page with it, the closed ones too.
    const QList<Form1 *> left = all();
    if (!tab->keepsTrace() &&
        std::all_of(left.begin(), left.end(), [](Form1 *t) { return t->keepsTrace(); })) {
        closed_.removeIf([](const ClosedTab &c) { return c.offTheRecord; });
        emit PrivateEnded();
    }
    showEmptyPage();
}

Form1 *TabSet::tabAt(int index) const {
    return static_cast<Form1 *>(strip_->pageAt(index));
}

Form1 *TabSet::active() const {
    return tabAt(strip_->currentIndex());
}

bool TabSet::frontHolds(QObject *target) const {
    const Form1 *t = active();
    return t && t->holds(target);
}

QList<Form1 *> TabSet::kept() const {
    QList<Form1 *> out = all();
    out.removeIf([](const Form1 *t) { return !t->keepsTrace(); });
    return out;
}

QList<Form1 *> TabSet::all() const {
    QList<Form1 *> out;
    for (int i = 0; i < strip_->count(); ++i) out << tabAt(i);
    return out;
}

int TabSet::count() const {
    return strip_->count();
}

void TabSet::showEmptyPage() {
    const bool none = strip_->count() == 0;
    emptyPage_->setVisible(none);
    children_->setVisible(!none);
    if (!none) return;
    follow(nullptr);
    emit ActiveChanged(nullptr);
}

// A link or text dropped on the strip opens in the tab it fell on, or in a new one there;
// files go to the frame.
void TabSet::openDropped(QWidget *onto, int at, const QMimeData *data) {
    const DropContent d = ReadDrop(data);
    if (!d.files.isEmpty()) return emit FilesDropped(d.files);
    if (d.address.isEmpty()) return;
    auto *t = static_cast<Form1 *>(onto);
    // A locked tab goes nowhere by a drop, as by no other command that reaches its page.
    if (t && t->isLocked()) return emit Refused(QStringLiteral("此选项卡已锁定"));
    if (!t) t = create(false, at);
    show(t);  // a resting tab wakes first: the dropped page follows its own
    t->navigate(d.address);
}

void TabSet::remember(Form1 *t) {
    const SessionTab page = t->page();
    if (page.url.isEmpty()) return;
    closed_.append({page.url, page.history, page.locked, strip_->indexOfPage(t), t->isPrivate()});
    while (closed_.size() > kClosedTabsKept) closed_.removeFirst();
}

Form1 *TabSet::openWithHistory(int at, const QString &url, const QByteArray &history, bool locked,
                               bool offTheRecord) {
    Form1 *t = create(false, at, offTheRecord);
    if (locked) t->setLocked(true);  // before its page can show
    t->restoreHistory(url, history);
    show(t);
    return t;
}

void TabSet::restore(const QList<SessionTab> &pages, int front) {
    strip_->setBatch(true);
    for (int i = 0; i < pages.size(); ++i) {
        Form1 *t = create(i != front, strip_->count());
        if (pages[i].locked) t->setLocked(true);  // before its page can show
        t->rest(pages[i]);
        if (i == front) show(t);
        if (t == active()) t->wake();
    }
    strip_->setBatch(false);
}

Ran TabSet::Execute(Command command, int value) {
    Form1 *t = active();
    const int n = count(), current = strip_->currentIndex();
    switch (command) {
        case Command::NextTab:
        case Command::PreviousTab:
            if (n < 2) return Ran::Nothing;
            strip_->setCurrentIndex((current + (command == Command::NextTab ? 1 : n - 1)) % n);
            return Ran::Done;
        case Command::SelectTab: {
            const int index = value >= 9 ? n - 1 : value - 1;
            if (index < 0 || index >= n) return Ran::Nothing;
            strip_->setCurrentIndex(index);
            return Ran::Done;
        }
        case Command::CloseTab:
            close(t);
            return Ran::Done;
        case Command::CloseOtherTabs:
        case Command::CloseTabsToTheRight: {
            const QList<Form1 *> tabs = all();
            for (int i = tabs.size() - 1; i >= 0; --i)
                if (tabs[i] != t && (command == Command::CloseOtherTabs || i > current))
                    close(tabs[i]);
            return Ran::Done;
        }
        case Command::ReopenClosedTab: {
            if (closed_.isEmpty()) return Ran::Nothing;
            const ClosedTab last = closed_.takeLast();
            openWithHistory(last.at, last.url, last.history, last.locked, last.offTheRecord);
            return Ran::Done;
        }
        case Command::DuplicateTab:
            openWithHistory(current + 1, t->url(), t->savedHistory(), t->isLocked(),
                            t->isPrivate());
            return Ran::Done;
        default:
            return Ran::NotMine;
    }
}
