#pragma once
// The stored form of the lock password. There is no decoder: a typed password is
// checked by encoding it and comparing the two texts.
#include <QString>

// Standard Base64 of the text's code-page bytes (plain ASCII gives the usual result).
QString Base64Encode(const QString &text);
// The typed password against the stored one ("PassWord").
bool PasswordMatches(const QString &typed, const QString &stored);
// The code-page code of the first character as a signed 16-bit value, 0 for empty text.
int CharCodeOrZero(const QString &text);
