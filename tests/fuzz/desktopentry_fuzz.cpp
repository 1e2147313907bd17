// Desktop entries: a shortcut's name stays a file name, and its Exec line hands the program
// and the address over whole.
#include "core/desktopentry.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(Bytes(data, size));
    const QString name = ShortcutFileName(text);
    FUZZ_CHECK(!name.contains(u'/') &&
               name.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive));
    const qsizetype half = text.size() / 2;
    QString program = text.left(half), address = text.mid(half);
    for (QString *s : {&program, &address})
        for (QChar &c : *s)
            if (c.category() == QChar::Other_Control) c = u' ';
    const QStringList args = ExecArguments(ShortcutEntry(name, program, address, {}, {}));
    FUZZ_CHECK(args == QStringList({program, address}));
    ExecArguments(text);
    return 0;
}
