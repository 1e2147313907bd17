#include "keystate.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QList>
#include <QSet>
#include <cstring>

// Xlib's macros clash with Qt's names: its headers come last.
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
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

// The parts of the X protocol's events read here, as the connection delivers them.
struct WireGenericEvent {  // an extension's event (XInput 2)
    quint8 responseType, extension;
    quint16 sequence;
    quint32 length;
    quint16 eventType, deviceId;
    quint32 time, detail;  // detail: the key code of a raw key event
};
struct WireMappingEvent {
    quint8 responseType, pad0;
    quint16 sequence;
    quint8 request, firstKeycode, count;
};
constexpr quint8 kWireGenericEvent = 35, kMappingNotify = 34;

}  // namespace

struct SystemKeyState::Impl : public QAbstractNativeEventFilter {
    Display *display = nullptr;
    char map[32] = {};
    OwnKeys own;
    // The watch.
    int xiOpcode = -1;
    std::function<void()> changed;
    QSet<int> down;                // key codes
    QHash<int, QList<int>> codes;  // Qt key -> its key codes, until the mapping changes

    const QList<int> &codesOf(Qt::Key key) {
        auto it = codes.find(key);
        if (it == codes.end()) {
            QList<int> found;
            for (const KeySym sym : keysymsOf(key))
                if (const KeyCode code = XKeysymToKeycode(display, sym)) found << code;
            it = codes.insert(key, found);
        }
        return *it;
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override {
        if (!changed || type != "xcb_generic_event_t") return false;
        const auto *e = static_cast<const WireGenericEvent *>(message);
        const quint8 kind = e->responseType & 0x7f;
        if (kind == kMappingNotify) {
            const auto *m = static_cast<const WireMappingEvent *>(message);
            XMappingEvent refresh{};
            refresh.type = MappingNotify;
            refresh.display = display;
            refresh.request = m->request;
            refresh.first_keycode = m->firstKeycode;
            refresh.count = m->count;
            XRefreshKeyboardMapping(&refresh);
            codes.clear();
            return false;
        }
        if (kind != kWireGenericEvent || e->extension != xiOpcode) return false;
        if (e->eventType == XI_RawKeyPress)
            down.insert(int(e->detail));
        else if (e->eventType == XI_RawKeyRelease)
            down.remove(int(e->detail));
        else
            return false;
        changed();
        return false;  // others may want it too
    }

    // Raw key events of every keyboard, added to what this connection already asks of the
    // root window.
    bool selectRawKeys() {
        int event = 0, error = 0, major = 2, minor = 4;
        if (!XQueryExtension(display, "XInputExtension", &xiOpcode, &event, &error)) return false;
        // Never below the version the toolkit asked for on this connection: the server
        // refuses that.
        if (XIQueryVersion(display, &major, &minor) != Success || major < 2) return false;
        const Window root = DefaultRootWindow(display);
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        int count = 0;
        if (XIEventMask *had = XIGetSelectedEvents(display, root, &count)) {
            for (int i = 0; i < count; ++i)
                if (had[i].deviceid == XIAllMasterDevices)
                    std::memcpy(bits, had[i].mask, qMin<size_t>(had[i].mask_len, sizeof bits));
            XFree(had);
        }
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawKeyRelease);
        XIEventMask mask{XIAllMasterDevices, int(sizeof bits), bits};
        XISelectEvents(display, root, &mask, 1);
        XFlush(display);
        return true;
    }
};

SystemKeyState::SystemKeyState() : d(new Impl) {
    if (auto *x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        d->display = x11->display();
    if (!d->display && qGuiApp) qGuiApp->installEventFilter(&d->own);
}

SystemKeyState::~SystemKeyState() {
    if (d->xiOpcode >= 0 && qGuiApp) qGuiApp->removeNativeEventFilter(d);
    delete d;
}

// One round trip to the server per poll, however many keys the poll asks about.
void SystemKeyState::refresh() {
    if (d->display && !d->changed) XQueryKeymap(d->display, d->map);
}

bool SystemKeyState::isDown(Qt::Key key) {
    if (!d->display) return d->own.down.contains(key);
    for (const int code : d->codesOf(key))
        if (d->changed ? d->down.contains(code) : ((d->map[code >> 3] >> (code & 7)) & 1))
            return true;
    return false;
}

bool SystemKeyState::watch(std::function<void()> changed) {
    if (!d->display || qEnvironmentVariableIsSet("OLUMETTA_KEY_POLL")) return false;
    if (!changed) {
        d->changed = nullptr;
        return true;
    }
    if (d->xiOpcode < 0) {
        if (!d->selectRawKeys()) {
            d->xiOpcode = -1;
            return false;
        }
        qGuiApp->installNativeEventFilter(d);
    }
    d->down.clear();
    d->changed = std::move(changed);
    return true;
}
