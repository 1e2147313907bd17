#include "keystate.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QList>
#include <QSet>

// Xlib's macros clash with Qt's names: its headers come last.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#undef KeyPress
#undef KeyRelease
#undef None

KeyState::~KeyState() = default;

namespace {

// Fallback for platforms without a readable global key map.
class OwnKeys : public QObject {
  public:
    QSet<int> down;
    bool eventFilter(QObject *o, QEvent *e) override {
        if (e->type() == QEvent::KeyPress) down.insert(static_cast<QKeyEvent *>(e)->key());
        if (e->type() == QEvent::KeyRelease) down.remove(static_cast<QKeyEvent *>(e)->key());
        return QObject::eventFilter(o, e);
    }
};

// The keys on the keyboard that stand for a Qt key: modifiers come in pairs.
QList<KeySym> keysymsOf(Qt::Key key) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) return {KeySym(XK_F1 + (key - Qt::Key_F1))};
    switch (key) {
        case Qt::Key_Alt:
            return {XK_Alt_L, XK_Alt_R, XK_Meta_L, XK_Meta_R, XK_ISO_Level3_Shift};
        case Qt::Key_Control:
            return {XK_Control_L, XK_Control_R};
        case Qt::Key_Shift:
            return {XK_Shift_L, XK_Shift_R};
        default:
            return {};
    }
}

}  // namespace

struct SystemKeyState::Impl {
    Display *display = nullptr;
    char map[32] = {};
    OwnKeys own;
};

SystemKeyState::SystemKeyState() : d(new Impl) {
    if (auto *x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        d->display = x11->display();
    if (!d->display && qGuiApp) qGuiApp->installEventFilter(&d->own);
}

SystemKeyState::~SystemKeyState() {
    delete d;
}

// One round trip to the server per poll, however many keys the poll asks about.
void SystemKeyState::refresh() {
    if (d->display) XQueryKeymap(d->display, d->map);
}

bool SystemKeyState::isDown(Qt::Key key) {
    if (!d->display) return d->own.down.contains(key);
    for (const KeySym sym : keysymsOf(key)) {
        const KeyCode code = XKeysymToKeycode(d->display, sym);
        if (code != 0 && ((d->map[code >> 3] >> (code & 7)) & 1)) return true;
    }
    return false;
}
