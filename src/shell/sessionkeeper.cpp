#include "sessionkeeper.h"

#include <QCoreApplication>
#include <QFile>

#include "core/programfolder.h"
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

SessionKeeper::SessionKeeper(TabSet *tabs, QObject *parent) : QObject(parent), tabs_(tabs) {
    timer_.setSingleShot(true);
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &SessionKeeper::save);
}

bool SessionKeeper::begin() {
    if (running_) return false;
    running_ = true;
    previous_ = ReadSessionFile(SessionPath(), Engine());
    if (!previous_ && QFile::exists(SessionPath()))
        emit Notice(QStringLiteral("上次的选项卡记录已损坏，已忽略。"));
    const bool unclean = QFile::exists(MarkPath());
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
    const QList<Form1 *> tabs = tabs_->all();
    for (Form1 *t : tabs) {
        WebView *v = t->browser();
        s.tabs.append({v->LocationURL(), t->caption(), v->SavedHistory(),
                       qRound(v->PageZoom() * 100), t->isLocked()});
        if (t == tabs_->active()) s.active = int(s.tabs.size()) - 1;
    }
    return s;
}

void SessionKeeper::save() {
    if (!running_) return;
    const Session s = collect();
    const QByteArray bytes = EncodeSession(s, Engine());
    if (bytes == written_) return;
    const WriteResult written = WriteSessionFile(SessionPath(), s, Engine());
    if (written) written_ = bytes;  // else tried again at the next change
    emit Written(written);
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
    Form1 *front = nullptr;
    for (int i = 0; i < s.tabs.size(); ++i) {
        const SessionTab &t = s.tabs[i];
        Form1 *tab = tabs_->openWithHistory(t.url, t.history, t.locked);
        if (i == s.active) front = tab;
    }
    if (front) tabs_->show(front);
    changed();
}
