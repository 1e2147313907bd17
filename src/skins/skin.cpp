#include "skin.h"

#include <QDir>
#include <QFileInfo>

#include "colour.h"
#include "core/numbers.h"
#include "core/programfolder.h"
#include "core/settings.h"
#include "core/store.h"

namespace {

QString folderOf(const QString &skinFile) {
    return SkinFolder() +
           config::localPath(ReadIni(QStringLiteral("Folder"), QStringLiteral("fld"), skinFile));
}

// A picture the skin requires, or a null pixmap when it will not load.
QPixmap load(const QString &path) {
    if (!QFileInfo(path).isFile()) return {};
    return QPixmap(path);
}

}  // namespace

QString SkinFolder() {
    return AppDir() + QStringLiteral("皮肤/");
}

QString SkinFilePath() {
    return SkinFilePath(settings::Text(settings::Key::Theme));
}

QString SkinFilePath(const QString &name) {
    return SkinFolder() + config::localPath(name);
}

QStringList SkinFiles() {
    QDir dir(SkinFolder());
    dir.setNameFilters({QStringLiteral("*.ini")});
    dir.setFilter(QDir::Files | QDir::Readable);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

QPixmap SkinPicture(const QString &skinFile, const QString &key) {
    const QString name = ReadIni(QStringLiteral("Pics"), key, skinFile);
    if (name.isEmpty()) return {};
    return load(folderOf(skinFile) + config::localPath(name));
}

std::optional<Skin> LoadSkin(const QString &file, bool glassAvailable) {
    if (!QFileInfo(file).isFile()) return std::nullopt;
    Skin s;
    s.file = file;
    auto colour = [&file](const char *key) {
        return BgrFromText(ReadIni(QStringLiteral("Color"), QLatin1String(key), file));
    };
    const auto bar = colour("clrBar"), bg = colour("clrBG"), logo = colour("clrLogo");
    if (!bar || !bg || !logo) return std::nullopt;
    s.clrBar = *bar;
    s.clrBG = *bg;
    s.clrLogo = *logo;
    for (int i = 0; i < 5; ++i) {
        s.button[i] = SkinPicture(file, QStringLiteral("tb%1").arg(i + 1));
        if (s.button[i].isNull()) return std::nullopt;
    }
    // An empty or missing background key is no picture; a named one must load.
    for (auto [key, target] : {std::pair{"bg_t", &s.bgTop}, std::pair{"bg_b", &s.bgBottom}}) {
        if (ReadIni(QStringLiteral("Pics"), QLatin1String(key), file).isEmpty()) continue;
        *target = SkinPicture(file, QLatin1String(key));
        if (target->isNull()) return std::nullopt;
    }
    if (glassAvailable) {
        bool ok = false;
        const double aero =
            config::toNumber(ReadIni(QStringLiteral("Color"), QStringLiteral("Aero"), file), &ok);
        if (!ok) return std::nullopt;
        s.glass = aero == 1;
    }
    return s;
}
