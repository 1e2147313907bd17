// Text files: every line comes back followed by CR LF, whatever the bytes.
#include "core/textfiles.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = ReadTextFile(InFile(data, size));
    FUZZ_CHECK(text.isEmpty() || text.endsWith(QLatin1String("\r\n")));
    return 0;
}
