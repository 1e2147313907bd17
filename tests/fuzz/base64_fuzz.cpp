// Base64 of any text: standard Base64 of the code-page bytes; the character code of any
// first character, without reading past the bytes.
#include "core/base64.h"
#include "core/codepage.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = Utf16(data, size);
    const QString b64 = Base64Encode(text);
    FUZZ_CHECK(QByteArray::fromBase64(b64.toLatin1()) == codepage::encode(text));
    const int code = CharCodeOrZero(text);
    FUZZ_CHECK(code >= -32768 && code <= 65535);
    FUZZ_CHECK(text.isEmpty() == (code == 0) || code == 0);
    return 0;
}
