// The browser module's one entry, looked up by the launcher.
#include "shell/startup.h"

extern "C" __attribute__((visibility("default"))) int OlumettaBrowserMain(int argc, char **argv) {
    return RunBrowser(argc, argv);
}
