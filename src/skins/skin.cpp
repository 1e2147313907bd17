#include "skin.h"

#include <QDir>
#include <QFileInfo>

#include "core/numbers.h"
#include "core/programfolder.h"
#include "core/settings.h"
#include "core/skinfile.h"
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
    const std::optional<SkinText> text = ParseSkin(ReadFileBytes(file));
    if (!text) return std::nullopt;
    Skin s;
    s.file = file;
    s.clrBar = text->clrBar;
    s.clrBG = text->clrBG;
    s.clrLogo = text->clrLogo;
    s.clrPrivate = text->clrPrivate;
    // The built-in skin has its pictures beside its file.
    const QString folder = file.startsWith(QLatin1String(":/"))
                               ? QFileInfo(file).path() + QLatin1Char('/')
                               : SkinFolder() + config::localPath(text->folder);
    for (int i = 0; i < 5; ++i) {
        s.button[i] = load(folder + config::localPath(text->buttons[i]));
        if (s.button[i].isNull()) return std::nullopt;
    }
    // An empty or missing background is no picture; a named one must load.
    for (auto [name, target] :
         {std::pair{text->bgTop, &s.bgTop}, std::pair{text->bgBottom, &s.bgBottom}}) {
        if (name.isEmpty()) continue;
        *target = load(folder + config::localPath(name));
        if (target->isNull()) return std::nullopt;
    }
    if (glassAvailable) {
        if (!text->aero) return std::nullopt;
        s.glass = *text->aero == 1;
    }
    return s;
}
