#include "skinfile.h"

#include "numbers.h"
#include "store.h"

std::optional<qint32> BgrFromText(const QString &text) {
    const QString t = text.trimmed();
    bool ok = false;
    qint64 v = 0;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        QString hex = t.mid(2);
        if (hex.endsWith(QLatin1Char('&'))) hex.chop(1);
        v = hex.toLongLong(&ok, 16);
        if (ok && v > INT32_MAX && v <= 0xFFFFFFFFLL) v -= 0x100000000LL;  // as a 32-bit value
    } else {
        v = t.toLongLong(&ok);
    }
    if (!ok || v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return qint32(v);
}

std::optional<SkinText> ParseSkin(const QByteArray &file) {
    auto read = [&file](const char *section, const QString &key) {
        return ReadIniFrom(file, QLatin1String(section), key);
    };
    SkinText s;
    for (auto [key, target] : {std::pair{"clrBar", &s.clrBar}, std::pair{"clrBG", &s.clrBG},
                               std::pair{"clrLogo", &s.clrLogo}}) {
        const auto value = BgrFromText(read("Color", QLatin1String(key)));
        if (!value) return std::nullopt;
        *target = *value;
    }
    for (int i = 0; i < 5; ++i) {
        s.buttons[i] = read("Pics", QStringLiteral("tb%1").arg(i + 1));
        if (s.buttons[i].isEmpty()) return std::nullopt;
    }
    s.bgTop = read("Pics", QStringLiteral("bg_t"));
    s.bgBottom = read("Pics", QStringLiteral("bg_b"));
    s.folder = read("Folder", QStringLiteral("fld"));
    bool ok = false;
    const double aero = config::toNumber(read("Color", QStringLiteral("Aero")), &ok);
    if (ok) s.aero = aero;
    s.clrPrivate = BgrFromText(read("Color", QStringLiteral("clrPrivate")));
    return s;
}
