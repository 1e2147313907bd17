#pragma once
// A skin: colours, five toolbar pictures with their pressed variants, background
// pictures and optional glass, from an INI file in the skin folder.
#include <QPixmap>
#include <QString>
#include <optional>

struct Skin {
    qint32 clrBar = 0, clrBG = 0, clrLogo = 0;
    std::optional<qint32> clrPrivate;  // a private tab's; none: the program's own
    bool glass = false;
    QPixmap button[5];
    QPixmap bgTop, bgBottom;  // null when the skin names none
    QString file;             // where it was read from
};

QString SkinFolder();                       // AppDir + "皮肤/"
QString SkinFilePath();                     // the skin the "Theme" setting names
QString SkinFilePath(const QString &name);  // a skin of the skin folder by its file name
// The skin files a user can choose: the "*.ini" files of the skin folder itself, by name.
QStringList SkinFiles();
// The named picture of the skin, or a null picture when the key or file gives none.
QPixmap SkinPicture(const QString &skinFile, const QString &key);

// Reads a skin file. "Aero" is read only where glass can be shown at all. Any
// failure (missing file or key, a colour that is no number, a picture that will not
// load) gives none: the program cannot go on with half a skin.
std::optional<Skin> LoadSkin(const QString &file, bool glassAvailable);
// The shipped default skin as built into the program.
inline constexpr char kBuiltInSkin[] = ":/defaults/skin/default.ini";
