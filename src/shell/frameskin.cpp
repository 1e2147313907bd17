#include "frameskin.h"

#include "core/settings.h"
#include "findcontrol.h"
#include "framewindow.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "skins/colour.h"
#include "skins/skin.h"
#include "statusstrip.h"
#include "tab/form1.h"
#include "tabset.h"
#include "tabstrip.h"
#include "toolbar.h"

FrameSkin::FrameSkin(FrameWindow *frame, Platform &platform, Parts parts)
    : QObject(frame), frame_(frame), platform_(platform), p_(parts) {
    connect(p_.tabs, &TabSet::Created, this, &FrameSkin::colour);
    connect(p_.toolbar, &ToolBar::Resized, this, &FrameSkin::layout);
}

// One that cannot be loaded gives way to the shipped one for this run, and when that fails
// too, to the same built into the program. "Theme" stays as the user set it.
bool FrameSkin::start() {
    const QString chosen = SkinFilePath(), shipped = SkinFilePath(QStringLiteral("默认.ini"));
    if (apply(chosen)) return true;
    if ((chosen != shipped && apply(shipped)) || apply(QString::fromLatin1(kBuiltInSkin))) {
        platform_.dialogs().MsgBox(
            frame_, QStringLiteral("皮肤文件 %1 无法载入，已改用默认皮肤。").arg(chosen),
            QStringLiteral("抱歉"), Dialogs::Exclamation);
        return true;
    }
    platform_.dialogs().MsgBox(frame_, QStringLiteral("在载入皮肤时出现错误，程序被迫退出"),
                               QStringLiteral("抱歉"), Dialogs::Exclamation);
    return false;
}

bool FrameSkin::tryOn(const QString &name) {
    if (!apply(SkinFilePath(name))) {  // the old skin stays
        platform_.dialogs().MsgBox(
            frame_, QStringLiteral("皮肤文件 %1 无法载入，未更换皮肤。").arg(SkinFilePath(name)),
            QStringLiteral("抱歉"), Dialogs::Exclamation);
        return false;
    }
    settings::Write(settings::Key::Theme, name);
    for (Form1 *t : p_.tabs->all()) colour(t);
    return true;
}

bool FrameSkin::apply(const QString &file) {
    const auto skin = LoadSkin(file, platform_.desktop().GlassAvailable());
    if (!skin) return false;
    const QColor bar = ColourFromBgr(skin->clrBar);
    frame_->setBorderColour(bar.darker(125));
    staBarHeight_ = p_.toolbar->setSkin(*skin);
    QColor strip = bar;
    if (skin->glass) strip.setAlpha(150);
    p_.status->setSkin(strip, skin->bgBottom, staBarHeight_);
    p_.find->setColours(bar, p_.status->textColour());
    p_.tabs->strip()->setColours(
        bar, skin->clrPrivate ? ColourFromBgr(*skin->clrPrivate) : TabStrip::kPrivateColour);
    // Glass only where a compositing manager can show it: the chrome turns see-through.
    frame_->setAttribute(Qt::WA_TranslucentBackground, skin->glass);
    layout();
    frame_->update();
    return true;
}

void FrameSkin::colour(Form1 *t) {
    const QColor bar = p_.toolbar->barColour();
    t->setColours(p_.toolbar->coverColour(), bar, bar);
}

void FrameSkin::layout() {
    p_.status->place(p_.toolbar->layout(staBarHeight_));
}
