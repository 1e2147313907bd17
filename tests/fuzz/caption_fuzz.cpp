// Tab captions: no title reorders text or grows past 24 characters as a reader counts them.
#include "core/textfiles.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    for (const QString &title : {QString::fromUtf8(Bytes(data, size)), Utf16(data, size)}) {
        const QString caption = TabCaption(title);
        FUZZ_CHECK(WithoutBidiControls(caption) == caption);
        FUZZ_CHECK(caption.size() <= title.size() + 1);
    }
    return 0;
}
