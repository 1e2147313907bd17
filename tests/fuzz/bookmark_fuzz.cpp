// Bookmarks: a name never leaves the bookmark folder, and any file reads without harm.
#include <QTemporaryFile>

#include "core/bookmarks.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString name = BookmarkFileName(Utf16(data, size));
    FUZZ_CHECK(!name.contains(u'/'));
    FUZZ_CHECK(name != QLatin1String(".") && name != QLatin1String(".."));
    static QTemporaryFile file;
    if (!file.isOpen() && !file.open()) return 0;
    file.resize(0);
    file.seek(0);
    file.write(Bytes(data, size));
    file.flush();
    ReadBookmarkFile(file.fileName());
    return 0;
}
