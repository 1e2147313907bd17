// Preloaded into the browser by one test: a rename onto the file named by
// OLUMETTA_KILL_AT_RENAME kills the process at that moment, as a power cut or a kill
// would, leaving the temporary file it was about to move into place.
#include <dlfcn.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

extern "C" int rename(const char *from, const char *to) {
    const char *target = std::getenv("OLUMETTA_KILL_AT_RENAME");
    if (target && to && std::strcmp(to, target) == 0) std::raise(SIGKILL);
    using Rename = int (*)(const char *, const char *);
    static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    return real(from, to);
}
