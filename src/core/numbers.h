#pragma once
// Settings read as numbers, by the rules the settings files need, and whole numbers held at
// an int's ends (no wrap, no undefined conversion).
#include <QString>

namespace config {

// A setting read as a number: the whole text must be a number, otherwise ok = false.
double toNumber(const QString &text, bool *ok);
// A missing or non-numeric setting counts as 0.
double numberOrZero(const QString &text);
// A flag read as a number where a value that cannot be read counts as set, as the failing
// test passes ("OpenPass", "OpenNav", "MinPass", "AutoDelete").
bool oneOrUnreadable(const QString &text);
// The number at the start of the text; none gives 0.
double leadingNumber(const QString &text);
// A number as a whole int: rounded down, held at the ends of the int's range, 0 for what is
// not a number.
int saturatedInt(double value);
// The whole number the text starts with, as saturatedInt holds it ("150%" gives 150).
int leadingInt(const QString &text);
// a + b held at the ends of the int's range.
int saturatedAdd(int a, int b);

}  // namespace config
