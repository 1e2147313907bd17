// The INI store on any file: a value written reads back as written, and no other key of
// the file changes.
#include "core/inifile.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 3) return 0;
    // The first bytes pick the names and the value; the rest is the file.
    auto name = [](uint8_t b) { return QByteArray(1, char('a' + b % 4)); };
    const QByteArray section = name(data[0]), key = name(data[1]), other = name(data[1] + 1);
    QByteArray value = Bytes(data + 2, qMin<size_t>(size - 2, 12));
    const QByteArray file = Bytes(data, size);
    // Quotes around a value are the store's own (one pair is stripped on reading).
    value.replace('\r', 'x').replace('\n', 'x').replace('\0', 'x').replace('"', 'x').replace('\'',
                                                                                             'x');
    value = value.trimmed();
    const QByteArray otherBefore = ini::readValue(file, section, other);
    const QByteArray out = ini::writeValue(file, section, key, value);
    FUZZ_CHECK(ini::readValue(out, section, key) == value);
    FUZZ_CHECK(ini::readValue(out, section, other) == otherBefore);
    return 0;
}
