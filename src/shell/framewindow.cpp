#include "framewindow.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "core/geometry.h"
#include "framelayout.h"
#include "platform/desktop.h"
#include "services/windowhelpers.h"

FrameWindow::FrameWindow(Desktop &desktop, QWidget *parent)
    : QMainWindow(parent), desktop_(desktop) {
    // The frame draws its own title bar.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setMouseTracking(true);
    setContentsMargins(chrome::kBorder, chrome::kBorder, chrome::kBorder, chrome::kBorder);
}

void FrameWindow::restoreGeometryFrom(const QString &path) {
    QList<QRect> screens;
    for (const QScreen *s : QGuiApplication::screens()) screens << s->availableGeometry();
    const QRect fallback(60, 60, 1080, 750);
    setGeometry(RestoredGeometry(ReadStoredGeometry(path), fallback, TwipsPerPixel(this), screens));
}

void FrameWindow::saveGeometryTo(const QString &path, const QRect &normal) {
    WriteStoredGeometry(path, normal, TwipsPerPixel(this));
}

void FrameWindow::setBorderColour(const QColor &colour) {
    border_ = colour;
    update();
}

// The window manager maximises and restores when there is one; on a bare X server nobody
// would, so the frame places itself, keeping Qt's own state in step either way.
void FrameWindow::toggleMaximised() {
    const bool bare = !desktop_.WindowManagerRunning();
    if (isMaximized()) {
        const QRect normal = normalGeometry_.isValid() ? normalGeometry_ : normalGeometry();
        showNormal();
        if (windowHandle() && normal.isValid()) windowHandle()->setGeometry(normal);
    } else {
        normalGeometry_ = geometry();
        showMaximized();
        if (bare && windowHandle() && screen()) {
            QRect r = screen()->availableGeometry();
            r.setSize(r.size().boundedTo(maximumSize()));
            windowHandle()->setGeometry(r);
        }
    }
}

Qt::Edges FrameWindow::edgesAt(const QPoint &pos) const {
    if (isMaximized() || isMinimized() || isFullScreen()) return {};
    Qt::Edges e;
    if (pos.x() < chrome::kBorder) e |= Qt::LeftEdge;
    if (pos.x() >= width() - chrome::kBorder) e |= Qt::RightEdge;
    if (pos.y() < chrome::kBorder) e |= Qt::TopEdge;
    if (pos.y() >= height() - chrome::kBorder) e |= Qt::BottomEdge;
    return e;
}

void FrameWindow::mouseMoveEvent(QMouseEvent *e) {
    const Qt::Edges edges = edgesAt(e->position().toPoint());
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
        setCursor(Qt::SizeFDiagCursor);
    else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
        setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (edges)
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
    QMainWindow::mouseMoveEvent(e);
}

void FrameWindow::mousePressEvent(QMouseEvent *e) {
    const Qt::Edges edges = edgesAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton && edges && windowHandle())
        windowHandle()->startSystemResize(edges);
    QMainWindow::mousePressEvent(e);
}

void FrameWindow::paintEvent(QPaintEvent *) {
    // The resize border around the chrome; the inside is the central widget's.
    QPainter p(this);
    const QMargins m = contentsMargins();
    const QRect r = rect();
    p.fillRect(QRect(0, 0, r.width(), m.top()), border_);
    p.fillRect(QRect(0, r.height() - m.bottom(), r.width(), m.bottom()), border_);
    p.fillRect(QRect(0, 0, m.left(), r.height()), border_);
    p.fillRect(QRect(r.width() - m.right(), 0, m.right(), r.height()), border_);
}

void FrameWindow::changeEvent(QEvent *e) {
    if (e->type() == QEvent::WindowStateChange) {
        const auto old = static_cast<QWindowStateChangeEvent *>(e)->oldState();
        // Maximised by the window manager's own means: restore gives back this size.
        if (isMaximized() && !(old & Qt::WindowMaximized) && !normalGeometry_.isValid())
            normalGeometry_ = normalGeometry();
        if (!isMaximized() && !isMinimized()) normalGeometry_ = QRect();
        const int border = isMaximized() || isFullScreen() ? 0 : chrome::kBorder;
        setContentsMargins(border, border, border, border);
        emit WindowStateChanged();
    }
    QMainWindow::changeEvent(e);
}
