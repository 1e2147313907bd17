#include "sessionkeeper.h"

#include <QCoreApplication>
#include <QFile>

#include "core/programfolder.h"
#include "core/settings.h"
#include "platform/webview.h"
#include "tab/form1.h"
#include "tabset.h"

namespace {
QString SessionPath() {
    return AppDir() + QStringLiteral("数据/session.dat");
}
QString MarkPath() {
    return AppDir() + QStringLiteral("数据/session.running");
}
// The engine's history stream is read only by the engine version that wrote it.
QString Engine() {
    return QString::fromLatin1(qVersion());
}
}  // namespace

SessionKeeper::SessionKeeper(TabSet *tabs, std::function<QString()> shownAddress, QObject *parent)
    : QObject(parent), tabs_(tabs), shownAddress_(std::move(shownAddress)) {
    timer_.setSingleShot(true);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &SessionKeeper::save);
    for (auto moved : {&TabSet::Visited, &TabSet::Retitled, &TabSet::Created, &TabSet::KeptClosing,
                       &TabSet::ActiveChanged, &TabSet::LockChanged, &TabSet::IconChanged})
        connect(tabs, moved, this, &SessionKeeper::changed);
    connect(tabs, &TabSet::Moved, this, &SessionKeeper::changed);
    connect(tabs, &TabSet::KeptClosing, this, &SessionKeeper::keepLastPage);
}

// The box shows the front tab; a private one's address is kept nowhere, so a tab closed
// behind it leaves its own.
void SessionKeeper::keepLastPage(Form1 *closing) {
    const Form1 *front = tabs_->active();
    noteWrite(settings::Write(settings::Key::LastPage,
                              front && front->keepsTrace() ? shownAddress_() : closing->url()));
}

void SessionKeeper::noteWrite(const WriteResult &written) {
    if (written) {
        writeFailed_ = false;
    } else if (!std::exchange(writeFailed_, true)) {
        emit WriteFailed(
            QStringLiteral("无法保存选项卡和设置：%1。下次更改时将再试。").arg(written.error));
    }
}

bool SessionKeeper::begin(Form1 *startTab) {
    if (running_) return false;
    running_ = true;
    startTab_ = startTab;
    previous_ = ReadSessionFile(SessionPath(), Engine());
    if (!previous_ && QFile::exists(SessionPath()))
        emit Notice(QStringLiteral("上次的选项卡记录已损坏，已忽略。"));
    const bool unclean = QFile::exists(MarkPath());
    if (previous_ && !previous_->offered.isEmpty()) {  // earlier crashes' tabs come first
        previous_->active += int(previous_->offered.size());
        previous_->tabs = std::exchange(previous_->offered, {}) + previous_->tabs;
    }
    carrying_ = unclean && hasPrevious();
    WriteFileWhole(MarkPath(), QByteArray::number(QCoreApplication::applicationPid()));
    written_ = previous_ ? EncodeSession(*previous_, Engine()) : QByteArray();
    changed();
    return unclean && hasPrevious();
}

void SessionKeeper::changed() {
    if (running_ && !timer_.isActive()) timer_.start();
}

Session SessionKeeper::collect() const {
    Session s;
    const QList<Form1 *> tabs = tabs_->kept();  // a restore never brings a private one back
    for (Form1 *t : tabs) {
        s.tabs.append(t->page());
        if (t == tabs_->active()) s.active = int(s.tabs.size()) - 1;
    }
    if (carrying_) s.offered = previous_->tabs;
    return s;
}

void SessionKeeper::save() {
    if (!running_) return;
    const Session s = collect();
    const QByteArray bytes = EncodeSession(s, Engine());
    if (bytes == written_) return;
    const WriteResult written = WriteSessionFile(SessionPath(), s, Engine());
    if (written) written_ = bytes;  // else tried again at the next change
    noteWrite(written);
}

void SessionKeeper::finish(bool clear) {
    if (!running_) return;
    timer_.stop();
    if (clear)
        QFile::remove(SessionPath());
    else
        save();
    running_ = false;  // closing the tabs one by one changes nothing kept
    QFile::remove(MarkPath());
}

void SessionKeeper::restorePrevious() {
    if (!hasPrevious()) return;
    const Session s = *std::exchange(previous_, std::nullopt);
    carrying_ = false;
    tabs_->restore(s.tabs, s.active);
    // The run's own start page gives way, unless the user went somewhere from it.
    if (startTab_ && !startTab_->canGoBack()) tabs_->close(startTab_);
    changed();
}

void SessionKeeper::dismissPrevious() {
    carrying_ = false;
    changed();
}
