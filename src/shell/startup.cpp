#include "startup.h"

#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QFont>
#include <cstdio>

#include "commandline.h"
#include "config.h"
#include "mdibrowser.h"
#include "platform/instancechannel.h"
#include "platform/platform.h"
#include "platform/qtdialogs.h"

bool CheckConfig(Dialogs &dialogs) {
    if (QFile::exists(config::configPath())) return true;
    dialogs.MsgBox(nullptr, QStringLiteral("Telvano无法为你浏览，没有找到配置文件！"),
                   QStringLiteral("抱歉"), Dialogs::Exclamation);
    return false;
}

int RunBrowser(int argc, char **argv) {
    // The whole command line, before Qt takes the arguments it knows.
    const QString commandLine = CommandLineText(argc, argv);

    if (QFile::exists(config::configPath())) {
        // A later start hands over before it builds any window or starts the web engine.
        InstanceChannel probe;
        if (!probe.claim()) {
            probe.send(HandOffCommand(commandLine));
            return 0;  // whether or not the running one answered: silently
        }
        return [&] {
            if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
                std::fprintf(stderr,
                             "olumetta: running as root, the web engine's sandbox is off\n");
                qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
            }
            QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
            QApplication app(argc, argv);
            QApplication::setApplicationName(QStringLiteral("Orvex Lumetta"));
            QFont font = QApplication::font();
            font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Noto Sans CJK SC")});
            QApplication::setFont(font);
            probe.listen();

            std::unique_ptr<Platform> platform = makeSystemPlatform();
            int rc = 0;
            {
                mdiBrowser frame(*platform, commandLine);
                QObject::connect(&probe, &InstanceChannel::commandReceived, &frame,
                                 &mdiBrowser::OnHandOff);
                frame.Load();
                rc = app.exec();
            }
            platform.reset();  // the web profile last, so cookies and cache reach the disk
            return rc;
        }();
    }

    QApplication app(argc, argv);
    QtDialogs dialogs;
    CheckConfig(dialogs);
    return 1;
}
