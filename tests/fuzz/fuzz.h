#pragma once
// What every target shares: the input as bytes and text, and a check that stops the run
// with the input that broke it.
#include <QByteArray>
#include <QString>
#include <QTemporaryFile>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define FUZZ_CHECK(cond)                                                                      \
    do {                                                                                      \
        if (!(cond)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

inline QByteArray Bytes(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}
// The bytes as UTF-16 code units, unpaired surrogates and all.
inline QString Utf16(const uint8_t *data, size_t size) {
    return QString(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
}
// The bytes as the whole of a file on disk (the same file each time): its path.
inline QString InFile(const uint8_t *data, size_t size) {
    static QTemporaryFile file;
    if (!file.isOpen()) FUZZ_CHECK(file.open());
    file.resize(0);
    file.seek(0);
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.flush();
    return file.fileName();
}
// The bytes as numbers, zero where the input runs out.
template <class T, size_t N>
void Numbers(const uint8_t *data, size_t size, T (&out)[N]) {
    std::memcpy(out, data, std::min(size, sizeof out));
}
