// The launcher. A later start hands its command line to the running instance having loaded
// QtCore and QtNetwork alone; only a first start loads the browser, a module beside it.
#include <dlfcn.h>

#include <QFileInfo>
#include <cstdio>

#include "core/programfolder.h"
#include "core/timing.h"
#include "platform/channelprotocol.h"
#include "platform/instancechannel.h"
#include "shell/commandline.h"

namespace {

// True when a running instance holds the lock and was handed the command. Every other
// case (the first start, a missing or damaged config.ini, a lock that cannot be told) is
// the browser's, which looks again: two starts may race here.
bool HandedOver(int argc, char **argv) {
    const QString commandLine = CommandLineText(argc, argv);
    if (quint32(commandLine.size()) > channel::kMaxAddress ||
        !QFileInfo::exists(config::configPath()))
        return false;
    InstanceChannel channel;
    if (channel.claim() || !channel.lockError().isEmpty()) return false;  // let go as it ends
    channel.send(HandOffCommand(commandLine));
    return true;  // whether or not the running one answered: silently
}

}  // namespace

int main(int argc, char **argv) {
    StartupMark("main");
    if (HandedOver(argc, argv)) return 0;
    const QString dir = config::binaryDir();
    // Beside the binary in a program folder; among the private libraries when installed.
    QString module = dir + QStringLiteral("/olumetta-browser.so");
    if (!QFileInfo::exists(module))
        module = dir + QStringLiteral("/../" OLUMETTA_MODULE_DIR "/olumetta-browser.so");
    void *browser = dlopen(QFile::encodeName(module).constData(), RTLD_NOW | RTLD_LOCAL);
    using Entry = int (*)(int, char **);
    const auto entry =
        browser ? reinterpret_cast<Entry>(dlsym(browser, "OlumettaBrowserMain")) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "olumetta: cannot load the browser: %s\n", dlerror());
        return 127;
    }
    return entry(argc, argv);
}
