#include "historykeeper.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

#include "core/bookmarks.h"
#include "core/programfolder.h"
#include "core/suggest.h"
#include "platform/platform.h"
#include "platform/webview.h"
#include "tab/form1.h"
#include "tabset.h"

namespace {

// Pages of the web, and files of the user's, but not the program's own start page.
bool Recordable(const QString &address) {
    const QUrl url(address);
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("file")) return !url.toLocalFile().startsWith(AppDir());
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ftp");
}

// History's best first, bookmarks among them marked, then bookmarks not visited yet. Any thread.
QList<Suggestion> Suggest(const QString &history, const QString &bookmarks, const QString &typed,
                          qint64 now) {
    constexpr int kMax = 8;
    QList<Suggestion> out = History::SuggestIn(history, typed, now, kMax);
    const QStringList words = typed.simplified().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) return out;
    QDirIterator it(bookmarks, {QStringLiteral("*.zvb")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!IsBookmarkPath(path)) continue;
        const QString address = ReadBookmarkFile(path).trimmed();
        const QString name = QFileInfo(path).completeBaseName();
        if (address.isEmpty() || !HoldsEveryWord(name + u' ' + address, words)) continue;
        const auto known = std::find_if(out.begin(), out.end(),
                                        [&](const Suggestion &s) { return s.url == address; });
        if (known != out.end())
            known->bookmark = true;
        else if (out.size() < kMax)
            out.append({address, name, true});
    }
    return out;
}

}  // namespace

HistoryKeeper::HistoryKeeper(Platform &platform, TabSet *tabs, QObject *parent)
    : QObject(parent), platform_(platform) {
    connect(tabs, &TabSet::Visited, this, &HistoryKeeper::loaded);
    connect(tabs, &TabSet::Retitled, this, &HistoryKeeper::retitled);
    connect(tabs, &TabSet::KeptClosing, this, &HistoryKeeper::forget);
    // Said once for each time the file stops taking the visits; they wait, none lost.
    connect(&platform_.history(), &History::Held, this, [this](const QString &why) {
        if (!why.isEmpty())
            emit Notice(QStringLiteral("历史记录暂时无法保存（%1），稍后会自动保存。").arg(why));
    });
}

void HistoryKeeper::open(const QString &path) {
    platform_.history().OpenLater(path);
    noticeRead_ = false;
}

void HistoryKeeper::say(const QString &text) {
    if (!text.isEmpty()) notice_ += (notice_.isEmpty() ? QString() : QStringLiteral(" ")) + text;
}

void HistoryKeeper::loaded(Form1 *tab) {
    // The first page's end opens the database, after the page.
    if (!std::exchange(noticeRead_, true)) say(platform_.history().notice());
    // After the page's own "完成", which would cover it at once.
    if (!notice_.isEmpty())
        QTimer::singleShot(500, this,
                           [this, text = std::exchange(notice_, QString())] { emit Notice(text); });
    const bool typed = typedNext_.take(tab);
    const QString url = tab->url();
    if (tab->takeRestored()) {  // put back as it was: no new visit
        recorded_.insert(tab, url);
        return;
    }
    // A locked tab's pages are never kept (a private one's never come here), nor an error page; a
    // reload or a zoom is no new visit.
    if (!tab->listsPage() || tab->browser()->LoadFailed() || !Recordable(url) ||
        recorded_.value(tab) == url)
        return;
    recorded_.insert(tab, url);
    platform_.history().Record(url, tab->title(), platform_.clock().now().toMSecsSinceEpoch(),
                               typed);
}

void HistoryKeeper::retitled(Form1 *tab) {
    if (!tab->listsPage()) return;
    const QString url = tab->url();
    if (recorded_.value(tab) == url) platform_.history().SetTitle(url, tab->title());
}

void HistoryKeeper::typed(Form1 *tab) {
    typedNext_.insert(tab, true);
    recorded_.remove(tab);  // the same address typed again is a visit again
}

void HistoryKeeper::forget(Form1 *tab) {
    typedNext_.remove(tab);
    recorded_.remove(tab);
}

HistoryKeeper::~HistoryKeeper() {
    if (!worker_) return;
    QMetaObject::invokeMethod(worker_, &History::CloseThreadConnection,
                              Qt::BlockingQueuedConnection);
    suggesting_.quit();
    suggesting_.wait();
    delete worker_;
}

// Only the newest question is worked out: one that waited behind a slower one is moot by
// then, and an answer that comes after a newer question is dropped.
void HistoryKeeper::suggestLater(const QString &typed) {
    if (!worker_) {
        worker_ = new QObject;
        worker_->moveToThread(&suggesting_);
        suggesting_.start();
    }
    const int serial = ++*asked_;
    QMetaObject::invokeMethod(
        worker_, [this, serial, typed, asked = asked_, history = platform_.history().path(),
                  bookmarks = AppDir() + QStringLiteral("书签"),
                  now = platform_.clock().now().toMSecsSinceEpoch()] {
            if (*asked != serial) return;
            const QList<Suggestion> found = Suggest(history, bookmarks, typed, now);
            QMetaObject::invokeMethod(this, [this, serial, typed, found] {
                if (*asked_ == serial) emit Suggested(typed, found);
            });
        });
}
