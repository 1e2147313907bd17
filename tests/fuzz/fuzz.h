#pragma once
// What every target shares: the input as bytes and text, and a check that stops the run
// with the input that broke it.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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
