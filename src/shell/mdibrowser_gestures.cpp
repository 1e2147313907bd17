// Mouse gestures on the frame: the capture switched on and off, and the commands a
// finished gesture runs.
#include <QLabel>
#include <QWindow>

#include "gestures/capture.h"
#include "mdibrowser.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "tab/form1.h"
#include "tab/navpage.h"

void mdiBrowser::InstallGestureHook() {
    if (gestures_) return;
    // A see-through window over the screen needs a compositor; without one the trail is
    // drawn over the frame only.
    trail_ = std::make_unique<frmMouse>(platform_.desktop().GlassAvailable() ? nullptr : this);
    // The frame's resize border is no client area; every other place of our windows is.
    auto clientArea = [this](QWindow *window, QPoint at) {
        return window != windowHandle() || edgesAt(at) == Qt::Edges();
    };
    gestures_ = std::make_unique<GestureCapture>(clientArea, trail_.get(), nullptr);
    connect(gestures_.get(), &GestureCapture::DirectionAdded, lblMouse, &QLabel::setText);
    // Run once the event that ended the stroke is done: a command may open a message box.
    connect(
        gestures_.get(), &GestureCapture::Finished, this,
        [this](const QString &g) {
            lblMouse->setText(g);
            lblMouse->setToolTip(g);
            RunGesture(g);
        },
        Qt::QueuedConnection);
}

void mdiBrowser::RemoveGestureHook() {
    gestures_.reset();
    trail_.reset();
}

void mdiBrowser::RunGesture(const QString &g) {
    Form1 *t = ActiveForm();
    const gesture::Fixed fixed = gesture::FixedCommand(g);
    if (fixed != gesture::Fixed::None) {
        // "Left" over the navigation page only hides it.
        if (fixed == gesture::Fixed::Back && t && !t->picNav->isHidden()) {
            Execute(Command::Back);
            return;
        }
        static const QHash<gesture::Fixed, Command> commands{
            {gesture::Fixed::Back, Command::Back},
            {gesture::Fixed::Forward, Command::Forward},
            {gesture::Fixed::CloseTab, Command::CloseTab},
            {gesture::Fixed::NewTab, Command::NewTab},
            {gesture::Fixed::Home, Command::Home},
            {gesture::Fixed::Search, Command::Search}};
        // A command with nothing to act on ends the gesture quietly.
        if (!Execute(commands.value(fixed))) return;
        if (fixed == gesture::Fixed::NewTab)
            platform_.dialogs().MsgBox(this, QStringLiteral("新窗口已开启"),
                                       QStringLiteral("鼠标手势"), Dialogs::Information);
    }
    for (int i = gesture::LoopCount(g); i > 0; --i) Execute(Command::Refresh);
    for (const QString &command : gesture::UserCommands(g))
        if (!platform_.desktop().Open(command))
            platform_.dialogs().MsgBox(this, QStringLiteral("鼠标手势运行命令错误"),
                                       QStringLiteral("提示"), Dialogs::Exclamation);
}
