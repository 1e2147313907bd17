// olumetta-ini: read and write the browser's INI files from scripts, with exactly the
// semantics the browser itself uses.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "core/store.h"

static int usage(const char *why) {
    std::fprintf(stderr,
                 "olumetta-ini: %s (usage: olumetta-ini get FILE SECTION KEY | "
                 "olumetta-ini set FILE SECTION KEY VALUE)\n",
                 why);
    return 2;
}

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    if (a.isEmpty()) return usage("no command");
    if (a[0] == QLatin1String("get")) {
        if (a.size() != 4) return usage("get takes FILE SECTION KEY");
        const QByteArray out = ReadIni(a[2], a[3], a[1]).toUtf8() + '\n';
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        return 0;
    }
    if (a[0] == QLatin1String("set")) {
        if (a.size() != 5) return usage("set takes FILE SECTION KEY VALUE");
        if (WriteIni(a[2], a[3], a[4], a[1])) return 0;
        std::fprintf(stderr, "olumetta-ini: cannot write %s\n", qPrintable(a[1]));
        return 1;
    }
    return usage("unknown command");
}
