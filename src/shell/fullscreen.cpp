#include "fullscreen.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "tab/form1.h"
#include "tabset.h"

namespace {
constexpr int kNoticeMs = 3000;
}  // namespace

FullScreen::FullScreen(QWidget *frame, QList<QWidget *> chrome)
    : QObject(frame), frame_(frame), chrome_(std::move(chrome)) {}

void FullScreen::setPage(bool on) {
    if (on == page_) return;
    page_ = on;
    if (!on) {
        for (const QPointer<QWidget> &w : hidden_)
            if (w) w->show();
        hidden_.clear();
        if (notice_) notice_->hide();
        return leave();
    }
    for (QWidget *w : chrome_)
        if (w->isVisible()) {
            hidden_ << w;
            w->hide();
        }
    if (!active_) enter();
    if (!notice_) {
        notice_ = new QLabel(QStringLiteral("按 Esc 键退出全屏"), frame_);
        notice_->setObjectName(QStringLiteral("lblFullScreen"));
        notice_->setStyleSheet(QStringLiteral(
            "QLabel { background: rgba(30, 30, 30, 210); color: white; padding: 10px 18px;"
            " border-radius: 6px; font-size: 15px; }"));
    }
    notice_->adjustSize();
    // Placed once the frame covers the screen.
    QTimer::singleShot(0, notice_, [this] {
        notice_->move((frame_->width() - notice_->width()) / 2, 24);
        notice_->raise();
    });
    notice_->show();
    QTimer::singleShot(kNoticeMs, notice_, &QWidget::hide);
}

void FullScreen::followPages(TabSet *tabs) {
    connect(tabs, &TabSet::FullScreenRequested, this, [this](Form1 *t, bool on) {
        pageTab_ = on ? t : nullptr;
        setPage(on);
    });
    connect(tabs, &TabSet::ActiveChanged, this, [this](Form1 *t) {
        if (page_ && t != pageTab_) leavePage();
    });
    connect(tabs, &TabSet::Closing, this, [this](Form1 *t) {
        if (t == pageTab_) leavePage();
    });
}

void FullScreen::leavePage() {
    if (pageTab_) pageTab_->exitFullScreen();
    pageTab_ = nullptr;
    setPage(false);
}

bool FullScreen::escape() {
    if (!page_) return false;
    leavePage();
    return true;
}

void FullScreen::toggle() {
    if (page_)
        leavePage();
    else if (active_)
        leave();
    else
        enter();
}

void FullScreen::enter() {
    active_ = true;
    before_ = frame_->windowState();
    geometry_ = frame_->isMaximized() ? frame_->normalGeometry() : frame_->geometry();
    frame_->showFullScreen();
}

void FullScreen::leave() {
    if (!active_) return;
    active_ = false;
    frame_->setWindowState(before_);
    if (!(before_ & (Qt::WindowMaximized | Qt::WindowMinimized))) frame_->setGeometry(geometry_);
}
