#include "frmsh.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "core/programfolder.h"
#include "core/settings.h"
#include "services/disguisepicture.h"
#include "services/windowhelpers.h"

frmSH::frmSH(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSH"));
    setWindowTitle(QStringLiteral("frmSH"));
    setFocusPolicy(Qt::StrongFocus);
}

void frmSH::Load() {
    using settings::Key;
    restore_ = settings::Text(Key::SHKey);
    const disguise::Picture which = disguise::PictureFor(settings::Text(Key::SuperHide));
    picture_ = which == disguise::Picture::Custom
                   ? QPixmap(config::localPath(settings::Text(Key::SHCustom)))
                   : DisguisePicture(which);
    // A custom picture that will not load still leaves something to type into.
    if (picture_.isNull()) picture_ = DisguisePicture(disguise::Picture::Pinyin);
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = s ? s->size() : QSize(1024, 768);
    const QSize size = picture_.deviceIndependentSize().toSize();
    setFixedSize(size);
    setGeometry(disguise::Place(screenSize, TaskbarHeight(this), size));
    update();
}

void frmSH::paintEvent(QPaintEvent *) {
    QPainter(this).drawPixmap(0, 0, picture_);
}

void frmSH::keyPressEvent(QKeyEvent *event) {
    if (disguise::Restores(event->text(), restore_)) emit RestoreRequested();
}

void frmSH::mousePressEvent(QMouseEvent *) {
    setCursor(Qt::SizeAllCursor);
}

void frmSH::mouseReleaseEvent(QMouseEvent *) {
    unsetCursor();
}
