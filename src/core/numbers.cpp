#include "numbers.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace config {

double toNumber(const QString &text, bool *ok) {
    const QString t = text.trimmed();
    bool good = false;
    double v = t.toDouble(&good);
    if (ok) *ok = good;
    return good ? v : 0.0;
}

double numberOrZero(const QString &text) {
    return toNumber(text, nullptr);
}

bool oneOrUnreadable(const QString &text) {
    bool ok = false;
    const double v = toNumber(text, &ok);
    return !ok || v == 1;
}

double leadingNumber(const QString &text) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const auto m = re.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}

int saturatedInt(double value) {
    if (std::isnan(value)) return 0;
    const double v = std::floor(value);
    if (v <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (v >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return int(v);
}

int leadingInt(const QString &text) {
    return saturatedInt(leadingNumber(text));
}

int saturatedAdd(int a, int b) {
    return saturatedInt(double(a) + double(b));
}

}  // namespace config
