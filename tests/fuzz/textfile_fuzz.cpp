// Text files: every line comes back followed by CR LF, whatever the bytes.
#include <QTemporaryFile>

#include "core/textfiles.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryFile file;
    if (!file.isOpen()) FUZZ_CHECK(file.open());
    file.resize(0);
    file.seek(0);
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.flush();
    const QString text = ReadTextFile(file.fileName());
    FUZZ_CHECK(text.isEmpty() || text.endsWith(QLatin1String("\r\n")));
    return 0;
}
