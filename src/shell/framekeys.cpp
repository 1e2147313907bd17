#include "framekeys.h"

#include <QApplication>
#include <QShortcut>
#include <QTimer>
#include <QWidget>

#include "commands.h"
#include "pagehabits.h"
#include "platform/keystate.h"
#include "platform/platform.h"

FrameKeys::FrameKeys(Platform &platform, QWidget *frame, Hooks hooks)
    : QObject(frame), platform_(platform), frame_(frame), hooks_(std::move(hooks)) {
    tmrKey = new QTimer(this);
    tmrKey->setObjectName(QStringLiteral("tmrKey"));
    tmrKey->setInterval(10);
    connect(tmrKey, &QTimer::timeout, this, &FrameKeys::poll);
}

FrameKeys::~FrameKeys() = default;

void FrameKeys::install() {
    for (const CommandRow &row : CommandRows()) {
        if (row.pollKey) continue;
        for (const QKeySequence &keys : row.keys)
            connect(new QShortcut(keys, frame_), &QShortcut::activated, this,
                    [this, command = row.command, value = row.value] {
                        hooks_.execute(command, value);
                    });
    }
    PageHabits::Hooks habits;
    habits.inPage = hooks_.inPage;
    habits.escape = hooks_.escape;
    habits.history = [this](bool forward) {
        hooks_.execute(forward ? Command::Forward : Command::Back, 0);
    };
    habits.zoom = [this](bool in) { hooks_.execute(in ? Command::ZoomIn : Command::ZoomOut, 0); };
    habits_ = std::make_unique<PageHabits>(habits);
    qApp->installEventFilter(habits_.get());
    // Told of every key where the system says so; read every 10 ms where it cannot.
    if (!platform_.keys().watch([this] { poll(); })) tmrKey->start();
}

void FrameKeys::stopPoll() {
    tmrKey->stop();
    platform_.keys().watch(nullptr);
}

void FrameKeys::poll() {
    KeyState &keys = platform_.keys();
    keys.refresh();
    const bool modifier =
        keys.isDown(Qt::Key_Alt) || keys.isDown(Qt::Key_Control) || keys.isDown(Qt::Key_Shift);
    switch (hotKeys_.poll(keys.isDown(Qt::Key_F2), keys.isDown(Qt::Key_F4), modifier)) {
        case HotKeyPoll::BossKey:
            hooks_.execute(Command::BossKey, 0);
            break;
        case HotKeyPoll::Lock:
            hooks_.execute(Command::Lock, 0);
            break;
        case HotKeyPoll::None:
            break;
    }
}
