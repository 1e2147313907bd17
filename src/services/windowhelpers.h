#pragma once
// Window and icon services shared by the frame, the downloads and the boss key.
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <functional>

class QObject;
class QWidget;

// A window manager gives a new window the keyboard; on a bare X server nobody would, and
// asking before the window is on the screen fails: asks once it is, for a few seconds.
// target: the window to activate, asked again each time; active: once it has the keyboard.
void ActivateWhenShown(QObject *owner, std::function<QWidget *()> target,
                       std::function<void(QWidget *)> active);

// Pixels between the work area's bottom and the screen's bottom (0 for a taskbar at
// the top or sides, or none).
int TaskbarHeight(QWidget *onScreenOf = nullptr);

// Limits the window's size, maximised or not. A maximum of 0 means the screen's size.
void SetWindowSizeLimits(QWidget *window, int minWidth, int minHeight, int maxWidth, int maxHeight);

// Twips per pixel of the widget's screen (15 at 96 dpi), and a twips rectangle in pixels.
double TwipsPerPixel(const QWidget *w);
QRect TwipsToPixels(const QRect &twips, const QWidget *w);

// An icon as a 32-pixel picture; a null picture for a null icon. The desktop's file icons
// come from the platform layer (Desktop::FileIcon).
QPixmap IconToPicture(const QIcon &icon);
