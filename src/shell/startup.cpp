#include "startup.h"

#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <cstdio>

#include "commandline.h"
#include "core/programfolder.h"
#include "core/store.h"
#include "core/timing.h"
#include "mdibrowser.h"
#include "platform/channelprotocol.h"
#include "platform/desktop.h"
#include "platform/instancechannel.h"
#include "platform/language.h"
#include "platform/logging.h"
#include "platform/platform.h"
#include "platform/qtdialogs.h"

bool CheckConfig(Dialogs &dialogs) {
    const QString path = config::configPath();
    if (QFileInfo::exists(path) && !config::configDamaged(path)) return true;
    // A damaged file is left as it is: the user may want what is still in it.
    dialogs.MsgBox(nullptr,
                   QFileInfo::exists(path)
                       ? QStringLiteral("配置文件已损坏")
                       : QStringLiteral("Telvano无法为你浏览，没有找到配置文件！"),
                   QStringLiteral("抱歉"), Dialogs::Exclamation);
    return false;
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
    // The web engine first: its helper processes come up while the frame is built.
    std::unique_ptr<Platform> platform = makeSystemPlatform();
    platform->prepareWebEngine();
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Noto Sans CJK SC")});
    QApplication::setFont(font);
    for (const char *folder : {"", "数据", "书签"})
        config::removeStaleTemporaries(AppDir() + QString::fromUtf8(folder));

    int rc = 0;
    {
        mdiBrowser frame(*platform, commandLine);
        StartupMark("frame built");
        QObject::connect(&channel, &InstanceChannel::commandReceived, &frame,
                         &mdiBrowser::OnHandOff);
        // Parental control ends the program at once: nothing is saved.
        if (frame.Load()) rc = app.exec();
    }
    platform.reset();  // the web profile last, so cookies and cache reach the disk
    return rc;
}

}  // namespace

int RunBrowser(int argc, char **argv) {
    // The whole command line, before Qt takes the arguments it knows.
    StartupMark("main");
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
    if (QFileInfo::exists(config::configPath()) && !config::configDamaged(config::configPath())) {
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
