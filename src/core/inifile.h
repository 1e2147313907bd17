#pragma once
// Profile-string semantics on the raw bytes of an INI file: case-insensitive
// ASCII names, first duplicate wins, ';' comments, trimmed values, one pair of
// matching quotes stripped on reading, replace-or-append writes that leave every
// other byte of the file as it was.
#include <QByteArray>
#include <QByteArrayView>

namespace ini {

// The value bytes of section/key, or a null QByteArray when the key is absent.
QByteArray readValue(QByteArrayView file, QByteArrayView section, QByteArrayView key);

// The whole file after writing key=value into section.
QByteArray writeValue(QByteArrayView file, QByteArrayView section, QByteArrayView key,
                      QByteArrayView value);

}  // namespace ini
