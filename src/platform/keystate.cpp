#include "keystate.h"

#include <QGuiApplication>
#include <QKeyEvent>
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

KeySym keysymOf(Qt::Key key) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35) return XK_F1 + (key - Qt::Key_F1);
    return NoSymbol;
}

}  // namespace

struct SystemKeyState::Impl {
    Display *display = nullptr;
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

bool SystemKeyState::isDown(Qt::Key key) {
    if (!d->display) return d->own.down.contains(key);
    const KeySym sym = keysymOf(key);
    if (sym == NoSymbol) return false;
    const KeyCode code = XKeysymToKeycode(d->display, sym);
    if (code == 0) return false;
    char map[32];
    XQueryKeymap(d->display, map);
    return (map[code >> 3] >> (code & 7)) & 1;
}
