#pragma once
// The program on the user's desktop: a launcher for a page, and this program as the
// desktop's default browser.
#include <QString>

class Desktop;
class Dialogs;
class QWidget;

// A launcher for the page on the user's desktop; every error is ignored, as is success.
void CreateDesktopShortcut(Desktop &desktop, const QString &title, const QString &address);
void RegisterDefaultBrowser(Desktop &desktop);
// At start-up with "AutoSet" on: when another browser is the default, asks whether this one
// should be, and makes it so on Yes.
void OfferToBeDefaultBrowser(Desktop &desktop, Dialogs &dialogs, QWidget *parent);
