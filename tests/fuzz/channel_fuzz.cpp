// The instance channel's reader: any bytes in any pieces; messages within the limit, and
// a broken stream stays broken.
#include "fuzz.h"
#include "platform/channelprotocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    channel::Reader reader;
    const size_t step = size ? 1 + data[0] % 64 : 1;
    bool broken = false;
    for (size_t i = 0; i < size; i += step) {
        const QStringList messages = reader.feed(Bytes(data + i, qMin(step, size - i)));
        for (const QString &m : messages) FUZZ_CHECK(quint32(m.size()) <= channel::kMaxAddress * 3);
        FUZZ_CHECK(!broken || reader.broken());
        broken = reader.broken();
    }
    return 0;
}
