// Settings numbers: no text makes a number undefined or wraps an int.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

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
    int a = 0, b = 0;
    std::memcpy(&a, data, std::min(size, sizeof a));
    if (size > sizeof a) std::memcpy(&b, data + sizeof a, std::min(size - sizeof a, sizeof b));
    FUZZ_CHECK(config::saturatedAdd(a, b) == std::clamp<qint64>(qint64(a) + b, INT_MIN, INT_MAX));
    return 0;
}
