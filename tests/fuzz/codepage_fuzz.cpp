// The code page: what any bytes decode to encodes and decodes to itself again, and a cut
// on a character boundary stays inside the bytes.
#include "core/codepage.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = Bytes(data, size);
    const QString text = codepage::decode(bytes);
    FUZZ_CHECK(codepage::decode(codepage::encode(text)) == text);
    const qsizetype limit = size ? data[0] : 0;
    const qsizetype cut = codepage::boundaryBefore(bytes, limit);
    FUZZ_CHECK(cut >= 0 && cut <= qMin(limit, bytes.size()));
    const QString any = Utf16(data, size);  // lone surrogates too
    FUZZ_CHECK(!codepage::encode(any).isNull() || any.isEmpty());
    return 0;
}
