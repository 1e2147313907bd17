// Skin files: any bytes give a whole skin's text or none, and colours fit 32 bits.
#include "core/skinfile.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = Bytes(data, size);
    if (const auto skin = ParseSkin(bytes))
        for (const QString &button : skin->buttons) FUZZ_CHECK(!button.isEmpty());
    if (const auto bgr = BgrFromText(QString::fromUtf8(bytes)))
        FUZZ_CHECK(BgrFromText(QString::number(*bgr)) == bgr);
    return 0;
}
