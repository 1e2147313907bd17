#include "gesturecontrol.h"

#include "commands.h"
#include "gestures/capture.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/platform.h"

GestureControl::GestureControl(Platform &platform, QWidget *frame, Hooks hooks)
    : QObject(frame), platform_(platform), frame_(frame), hooks_(std::move(hooks)) {}

GestureControl::~GestureControl() = default;

void GestureControl::setOn(bool on) {
    if (!on) {
        capture_.reset();
        trail_.reset();
        return;
    }
    if (capture_) return;
    // A see-through window over the screen needs a compositor; without one the trail is
    // drawn over the frame only.
    trail_ = std::make_unique<frmMouse>(platform_.desktop().GlassAvailable() ? nullptr : frame_);
    capture_ = std::make_unique<GestureCapture>(hooks_.clientArea, trail_.get(), nullptr);
    connect(capture_.get(), &GestureCapture::DirectionAdded, this, &GestureControl::DirectionAdded);
    // Run once the event that ended the stroke is done: a command may open a message box.
    connect(
        capture_.get(), &GestureCapture::Finished, this,
        [this](const QString &g) {
            emit Finished(g);
            // A written entry for the plain click still runs; with none it is a click.
            if (g.isEmpty() && gesture::UserCommands(g).isEmpty()) {
                if (capture_) capture_->replayClick();
                return;
            }
            Run(g);
        },
        Qt::QueuedConnection);
}

void GestureControl::Run(const QString &g) {
    const gesture::Fixed fixed = gesture::FixedCommand(g);
    if (const CommandRow *row = RowOfGesture(fixed)) {
        // "Left" over the navigation page only hides it.
        if (fixed == gesture::Fixed::Back && hooks_.navigationShown()) {
            hooks_.execute(Command::Back);
            return;
        }
        // A command with nothing to act on ends the gesture quietly.
        if (!hooks_.execute(row->command)) return;
        if (fixed == gesture::Fixed::NewTab)
            platform_.dialogs().MsgBox(frame_, QStringLiteral("新窗口已开启"),
                                       QStringLiteral("鼠标手势"), Dialogs::Information);
    }
    for (int i = gesture::LoopCount(g); i > 0; --i) hooks_.execute(Command::Refresh);
    for (const QString &command : gesture::UserCommands(g))
        if (!platform_.desktop().Open(command))
            platform_.dialogs().MsgBox(frame_, QStringLiteral("鼠标手势运行命令错误"),
                                       QStringLiteral("提示"), Dialogs::Exclamation);
}
