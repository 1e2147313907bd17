// What the address box opens: the typed words reach the engine's query whole.
#include <QUrl>

#include "core/search.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString typed = QString::fromUtf8(Bytes(data, size));
    for (const char *engine : {"0", "1", "2", "3"}) {
        const QString query = SearchAddress(QLatin1String(engine), typed);
        const QString front = SearchAddress(QLatin1String(engine), QString());
        FUZZ_CHECK(query.startsWith(front));
        FUZZ_CHECK(QUrl::fromPercentEncoding(query.mid(front.size()).toLatin1()) ==
                   (front.isEmpty() ? QString() : typed));
        const QString opened = AddressOrSearch(typed, QLatin1String(engine));
        FUZZ_CHECK(opened == typed || QUrl(opened).isValid());
    }
    return 0;
}
