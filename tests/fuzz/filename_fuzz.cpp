// Download names: whatever the address or the server says, the name stays in its folder.
#include "core/downloadnames.h"
#include "core/textfiles.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = Bytes(data, size);
    for (const QString &proposed : {ContentDispositionName(bytes),
                                    FileNameFromUrl(QString::fromUtf8(bytes)), Utf16(data, size)}) {
        const QString name = SafeFileName(proposed);
        FUZZ_CHECK(!name.contains(u'/') && !name.contains(u'\\'));
        FUZZ_CHECK(name != QLatin1String(".") && name != QLatin1String(".."));
        FUZZ_CHECK(name.toUtf8().size() <= 255);
        for (const QChar c : name) FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() != 0x7F);
        const QString full = ProposedFileName(proposed, QString::fromUtf8(bytes));
        FUZZ_CHECK(!full.isEmpty() && !full.contains(u'/'));
    }
    return 0;
}
