#include "startup.h"

#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <cerrno>
#include <cstdio>

#include "caretrest.h"
#include "commandline.h"
#include "core/codepage.h"
#include "core/filewriter.h"
#include "core/programfolder.h"
#include "core/store.h"
#include "core/timing.h"
#include "mdibrowser.h"
#include "platform/channelprotocol.h"
#include "platform/desktop.h"
#include "platform/endsignals.h"
#include "platform/instancechannel.h"
#include "platform/language.h"
#include "platform/logging.h"
#include "platform/platform.h"
#include "platform/qtdialogs.h"
#include "services/parental.h"

bool CheckConfig(Dialogs &dialogs) {
    const QString path = config::configPath();
    if (!QFileInfo::exists(path)) {
        dialogs.MsgBox(nullptr, QStringLiteral("Telvano无法为你浏览，没有找到配置文件！"),
                       QStringLiteral("抱歉"), Dialogs::Exclamation);
        return false;
    }
    if (!config::configDamaged(path)) return true;
    // The damaged file is kept for what is still in it; "退出" leaves everything as it was.
    const QString aside = config::damagedName(path);
    const auto answer = dialogs.MsgBox(
        nullptr,
        QStringLiteral("配置文件已损坏：\r\n%1\r\n\r\n恢复默认设置后，原文件将保存为 %2。")
            .arg(path, QFileInfo(aside).fileName()),
        QStringLiteral("抱歉"), Dialogs::Exclamation, Dialogs::RestoreQuit);
    if (answer != Dialogs::AnswerYes) return false;
    QFile shipped(QStringLiteral(":/defaults/config.ini"));  // UTF-8, as in the source tree
    WriteResult written{QStringLiteral("无法读取默认设置")};
    if (shipped.open(QIODevice::ReadOnly)) {
        // Written whole before the damaged file moves aside: a full disk leaves it in place.
        const QString fresh = path + QLatin1String(config::kTemporaryMark) + QStringLiteral("new");
        written = WriteFileWhole(fresh, codepage::encode(QString::fromUtf8(shipped.readAll())));
        if (written && !QFile::rename(path, aside)) {
            written = {WriteErrorText(errno)};
        } else if (written && !QFile::rename(fresh, path)) {
            written = {WriteErrorText(errno)};
            QFile::rename(aside, path);
        }
        QFile::remove(fresh);
    }
    if (!written) {
        dialogs.MsgBox(nullptr,
                       QStringLiteral("无法写入默认设置（%1）：\r\n%2").arg(written.error, path),
                       QStringLiteral("抱歉"), Dialogs::Critical);
        return false;
    }
    return true;
}

namespace {

// The running instance: the application, the frame, the event loop.
int RunFirstInstance(int argc, char **argv, const QString &commandLine, InstanceChannel &channel) {
    PrepareEngineEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvex Lumetta"));
    StartupMark("application ready");
    channel.listen();
    UseChineseInterface();
    if (config::configDamaged(config::configPath())) {
        QtDialogs dialogs;
        if (!CheckConfig(dialogs)) return 1;
    }
    // Before anything is written there: what was browsed is the user's alone.
    config::makePrivate(AppDir() + QStringLiteral("数据"));
    // The web engine first: its helper processes come up while the frame is built.
    std::unique_ptr<Platform> platform = makeSystemPlatform();
    // A start parental control refuses makes nothing, the web profile neither.
    if (!BrowsingBlocked(platform->clock().now(), ReadParentalSettings()))
        platform->prepareWebEngine();
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Noto Sans CJK SC")});
    QApplication::setFont(font);
    for (const char *folder : {"", "数据", "书签"})
        config::removeStaleTemporaries(AppDir() + QString::fromUtf8(folder));

    CaretRest caret;
    int rc = 0;
    {
        mdiBrowser frame(*platform, commandLine);
        StartupMark("frame built");
        QObject::connect(&channel, &InstanceChannel::commandReceived, &frame,
                         &mdiBrowser::OnHandOff);
        WatchEndRequests(&frame, [&frame] { frame.EndNow(); });
        // Parental control ends the program at once: nothing is saved.
        if (frame.Load()) rc = app.exec();
    }
    platform.reset();  // the web profile last, so cookies and cache reach the disk
    return rc;
}

}  // namespace

int RunBrowser(int argc, char **argv) {
    // The whole command line, before Qt takes the arguments it knows.
    QuietenEngineLogging();
    const QString commandLine = CommandLineText(argc, argv);
    if (quint32(commandLine.size()) > channel::kMaxAddress) {
        std::fprintf(stderr,
                     "olumetta: the address is %lld characters long; the web engine takes at "
                     "most %u, so it was not opened\n",
                     qlonglong(commandLine.size()), channel::kMaxAddress);
        return 2;
    }

    // An installed program's own folder is made, or completed, from the installed template.
    if (const QString shipped = config::installedTemplate(); !shipped.isEmpty())
        programfolder::FillFromTemplate(shipped, AppDir());
    if (QFileInfo::exists(config::configPath())) {  // a damaged one is the first instance's to ask
        // A later start hands over before it builds any window or starts the web engine.
        InstanceChannel channel;
        if (channel.claim()) return RunFirstInstance(argc, argv, commandLine, channel);
        if (const QString error = channel.lockError(); !error.isEmpty()) {
            std::fprintf(stderr, "olumetta: cannot tell whether the browser already runs: %s\n",
                         qPrintable(error));
            QApplication app(argc, argv);
            UseChineseInterface();
            QtDialogs().MsgBox(
                nullptr,
                QStringLiteral("Telvano无法确定自己是否已在运行，因此没有启动：\r\n") + error,
                QStringLiteral("抱歉"), Dialogs::Critical, Dialogs::Ok);
            return 2;
        }
        channel.send(HandOffCommand(commandLine));
        return 0;  // whether or not the running one answered: silently
    }

    QApplication app(argc, argv);
    UseChineseInterface();
    QtDialogs dialogs;
    CheckConfig(dialogs);
    return 1;
}
