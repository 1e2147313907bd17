#include "desktopintegration.h"

#include <QCoreApplication>
#include <QDir>

#include "core/desktopentry.h"
#include "core/programfolder.h"
#include "core/settings.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"

namespace {
// Our own icon where the package installed it; elsewhere the desktop's icon for browsers,
// which every icon theme that follows the naming rules has.
QString launcherIcon() {
    return config::installedTemplate().isEmpty() ? QStringLiteral("web-browser")
                                                 : QStringLiteral("olumetta");
}
}  // namespace

void CreateDesktopShortcut(Desktop &desktop, const QString &title, const QString &address) {
    const QString folder = desktop.DesktopFolder();
    if (folder.isEmpty()) return;
    desktop.WriteLauncher(QDir(folder).filePath(ShortcutFileName(title)),
                          ShortcutEntry(title, QCoreApplication::applicationFilePath(), address,
                                        AppDir(), launcherIcon()));
}

void RegisterDefaultBrowser(Desktop &desktop) {
    desktop.RegisterDefaultBrowser(
        BrowserEntry(QCoreApplication::applicationFilePath(), launcherIcon()), kBrowserMimeTypes);
}

void OfferToBeDefaultBrowser(Desktop &desktop, Dialogs &dialogs, QWidget *parent) {
    if (settings::IsOn(settings::Key::AutoSet) && !desktop.IsDefaultBrowser() &&
        dialogs.MsgBox(
            parent, QStringLiteral("Telvano目前不是您的默认浏览器\r\n是否要设置为默认浏览器？"),
            QStringLiteral("提示"), Dialogs::Exclamation, Dialogs::YesNo) == Dialogs::AnswerYes)
        RegisterDefaultBrowser(desktop);
}
