// Settings numbers: no text makes a number undefined or wraps an int.
#include <climits>
#include <cmath>

#include "core/numbers.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(Bytes(data, size));
    bool ok = false;
    const double n = config::toNumber(text, &ok);
    FUZZ_CHECK(ok || n == 0);
    const double zero = config::numberOrZero(text);
    FUZZ_CHECK(ok ? (zero == n || std::isnan(n)) : zero == 0);
    config::oneOrUnreadable(text);
    FUZZ_CHECK(config::leadingInt(text) == config::saturatedInt(config::leadingNumber(text)));
    int ab[2] = {};
    Numbers(data, size, ab);
    const qint64 sum = qint64(ab[0]) + ab[1];
    FUZZ_CHECK(config::saturatedAdd(ab[0], ab[1]) == std::clamp<qint64>(sum, INT_MIN, INT_MAX));
    return 0;
}
