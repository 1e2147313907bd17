#include "tabstrip.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QToolTip>

#include "core/textfiles.h"
#include "drops.h"
#include "skins/colour.h"

namespace {

// The icon of a tab whose page has none: a sheet with a folded corner. Drawn here: the
// style's own file icon costs a search of the icon themes while the first page starts.
QIcon BlankPageIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(110, 118, 130), 2));
    p.setBrush(Qt::white);
    const QPolygonF sheet({{7, 3}, {19, 3}, {26, 10}, {26, 29}, {7, 29}});
    p.drawPolygon(sheet);
    p.drawPolyline(QPolygonF({{19, 3}, {19, 10}, {26, 10}}));
    return QIcon(pm);
}

// A private tab's mark, whatever its page's icon: a mask on the private colour.
QIcon PrivateIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(TabStrip::kPrivateColour);
    p.drawEllipse(QRectF(1, 1, 30, 30));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(6, 11, 20, 9), 4, 4);  // the mask
    p.setBrush(TabStrip::kPrivateColour);
    p.drawEllipse(QRectF(9, 13, 5, 5));  // its eyes
    p.drawEllipse(QRectF(18, 13, 5, 5));
    return QIcon(pm);
}

}  // namespace

TabStrip::TabStrip(QWidget *parent) : QTabBar(parent) {
    setObjectName(QStringLiteral("MDITabs"));
    setDocumentMode(true);
    setExpanding(false);
    // Each tab's close button is drawn, not a widget: the strip moves every button widget
    // whenever one tab is added, which made a restore of hundreds of tabs take seconds.
    setTabsClosable(false);
    setMouseTracking(true);
    setMovable(true);  // dragged to another place, as in other browsers
    setElideMode(Qt::ElideRight);
    setUsesScrollButtons(true);
    setAcceptDrops(true);
    installEventFilter(this);
    // The strip keeps its height with no tab, so its menu stays within reach.
    addTab(QStringLiteral("空白页"));
    setMinimumHeight(sizeHint().height());
    removeTab(0);
}

QSize TabStrip::closeSize() const {
    return {style()->pixelMetric(QStyle::PM_TabCloseIndicatorWidth, nullptr, this),
            style()->pixelMetric(QStyle::PM_TabCloseIndicatorHeight, nullptr, this)};
}

void TabStrip::initStyleOption(QStyleOptionTab *option, int index) const {
    QTabBar::initStyleOption(option, index);
    option->rightButtonSize = closeSize();
    // The caption shortened again, now that the close button takes its room.
    const QRect text = style()->subElementRect(QStyle::SE_TabBarTabText, option, this);
    option->text =
        fontMetrics().elidedText(tabText(index), elideMode(), text.width(), Qt::TextShowMnemonic);
}

QRect TabStrip::closeRect(int index) const {
    QStyleOptionTab tab;
    initStyleOption(&tab, index);
    return style()->subElementRect(QStyle::SE_TabBarTabRightButton, &tab, this);
}

int TabStrip::closeAt(const QPoint &at) const {
    const int index = tabAt(at);
    return index >= 0 && closeRect(index).contains(at) ? index : -1;
}

// As the style draws a tab's close button: raised under the mouse, sunk while pressed,
// marked on the current tab.
void TabStrip::paintClose(QPainter &p, int index, const QRect &at) const {
    QStyleOption o;
    o.initFrom(this);
    o.rect = at;
    o.state |= QStyle::State_AutoRaise;
    if (index == pressedClose_ && index == hoveredClose_)
        o.state |= QStyle::State_Sunken;
    else if (index == hoveredClose_ && pressedClose_ < 0)
        o.state |= QStyle::State_Raised;
    if (index == currentIndex()) o.state |= QStyle::State_Selected;
    style()->drawPrimitive(QStyle::PE_IndicatorTabClose, &o, &p, this);
}

void TabStrip::setHoveredClose(int index) {
    if (index == hoveredClose_) return;
    for (int i : {hoveredClose_, index})
        if (i >= 0 && i < count()) update(closeRect(i));
    hoveredClose_ = index;
}

void TabStrip::insertPage(int index, QWidget *page) {
    if (blankPageIcon_.isNull()) blankPageIcon_ = BlankPageIcon();
    insertTab(index, blankPageIcon_, batch_ ? QString() : QStringLiteral("空白页"));
    if (batch_) pendingCaptions_.insert(page, QStringLiteral("空白页"));
    setTabData(index, QVariant::fromValue<void *>(page));
    setTabToolTip(index, QString());
}

void TabStrip::removePage(QWidget *page) {
    const int index = indexOfPage(page);
    if (index >= 0) removeTab(index);
}

QWidget *TabStrip::pageAt(int index) const {
    return index < 0 || index >= count() ? nullptr
                                         : static_cast<QWidget *>(tabData(index).value<void *>());
}

int TabStrip::indexOfPage(const QWidget *page) const {
    for (int i = 0; i < count(); ++i)
        if (pageAt(i) == page) return i;
    return -1;
}

void TabStrip::setCaption(QWidget *page, const QString &title) {
    const int index = indexOfPage(page);
    if (index < 0) return;
    const QString caption = TabCaption(title.isEmpty() ? QStringLiteral("空白页") : title);
    if (batch_)
        pendingCaptions_.insert(page, caption);
    else
        setTabText(index, caption);
    setTabToolTip(index, WithoutBidiControls(title));
}

// The page's icon, or the plain page icon while it loads or when it has none; a private
// tab's mark always.
void TabStrip::setPageIcon(QWidget *page, const QIcon &icon) {
    const int index = indexOfPage(page);
    if (index < 0) return;
    if (private_.contains(page)) return setTabIcon(index, privateIcon_);
    setTabIcon(index, icon.isNull() ? blankPageIcon_ : icon);
}

void TabStrip::markPrivate(QWidget *page) {
    if (privateIcon_.isNull()) privateIcon_ = PrivateIcon();
    private_.insert(page);
    connect(page, &QObject::destroyed, this, [this, page] { private_.remove(page); });
    const int index = indexOfPage(page);
    if (index < 0) return;
    setTabIcon(index, privateIcon_);
}

// The skin's style sheet colours every tab alike: a private tab's colour goes over it.
// A drag over the strip shows where it would land.
void TabStrip::paintEvent(QPaintEvent *event) {
    QTabBar::paintEvent(event);
    QPainter p(this);
    const int dragged = movingTab_ && movingTab_->isVisible() ? currentIndex() : -1;
    // Only the tabs in the painted part: working out a close button costs the style's time.
    for (int i = 0; i < count(); ++i)
        if (i != dragged && tabRect(i).intersects(event->rect())) paintClose(p, i, closeRect(i));
    if (private_.isEmpty() && dropMark_.isNull()) return;
    QColor tint = privateColour_;
    tint.setAlpha(60);
    for (int i = 0; i < count(); ++i) {
        if (!private_.contains(pageAt(i))) continue;
        const QRect r = tabRect(i).adjusted(1, 2, -1, 0);  // inside the style's margin
        p.fillRect(r, tint);
        p.fillRect(r.x(), r.y(), r.width(), 3, privateColour_);
    }
    if (dropMark_.isNull()) return;
    const QColor mark = palette().color(QPalette::Highlight);
    if (dropOntoTab_) {
        p.setPen(QPen(mark, 2));
        p.drawRect(dropMark_);
    } else {
        p.fillRect(dropMark_, mark);
    }
}

// Onto a tab's middle half: that tab; nearer its edges, or past the last tab: between tabs.
std::pair<QWidget *, int> TabStrip::dropPlace(const QPoint &at) const {
    const int index = tabAt(at);
    if (index < 0) return {nullptr, at.x() < 0 ? 0 : count()};
    const QRect r = tabRect(index);
    if (at.x() < r.left() + r.width() / 4) return {nullptr, index};
    if (at.x() > r.right() - r.width() / 4) return {nullptr, index + 1};
    return {pageAt(index), index};
}

void TabStrip::markDrop(const QPoint &at, bool on) {
    const auto [onto, index] = on ? dropPlace(at) : std::pair<QWidget *, int>();
    QRect mark;
    if (onto) {
        mark = tabRect(index).adjusted(2, 3, -2, -1);
    } else if (on) {
        const int x = index < count() ? tabRect(index).left()
                      : count()       ? tabRect(index - 1).right()
                                      : 0;
        mark = QRect(x - 1, 2, 3, height() - 4);
    }
    if (mark == dropMark_ && (onto != nullptr) == dropOntoTab_) return;
    update(dropMark_.adjusted(-2, -2, 2, 2));
    dropMark_ = mark;
    dropOntoTab_ = onto != nullptr;
    update(dropMark_.adjusted(-2, -2, 2, 2));
}

void TabStrip::dragEnterEvent(QDragEnterEvent *event) {
    dragMoveEvent(event);
}

void TabStrip::dragMoveEvent(QDragMoveEvent *event) {
    if (!CanTakeDrop(event->mimeData())) return event->ignore();
    event->acceptProposedAction();
    markDrop(event->position().toPoint(), true);
}

void TabStrip::dragLeaveEvent(QDragLeaveEvent *) {
    markDrop({}, false);
}

void TabStrip::dropEvent(QDropEvent *event) {
    markDrop({}, false);
    if (!CanTakeDrop(event->mimeData())) return event->ignore();
    event->acceptProposedAction();
    const auto [onto, at] = dropPlace(event->position().toPoint());
    emit DropReceived(onto, at, event->mimeData());
}

// Qt draws the picture of a tab dragged along the strip with its caption placed by where the
// tab stands in the strip, outside the picture unless it is the first: drawn here as the tab
// is drawn in the strip, moved into the picture.
void TabStrip::paintMovingTab(QWidget *moving) {
    const int index = currentIndex();  // a press makes the tab current
    if (index < 0) return;
    QStyleOptionTab tab;
    initStyleOption(&tab, index);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarTabOverlap, nullptr, this);
    QStylePainter p(moving, this);  // with the strip's font and colours
    p.translate(QPoint(overlap, 0) - tab.rect.topLeft());
    p.drawControl(QStyle::CE_TabBarTab, tab);
    paintClose(p, index, style()->subElementRect(QStyle::SE_TabBarTabRightButton, &tab, this));
}

void TabStrip::setColours(const QColor &bar, const QColor &privateTab) {
    privateColour_ = privateTab;
    const TabStripColours c = TabStripFor(bar);
    setStyleSheet(
        QStringLiteral("QTabBar { background: %1; }"
                       "QTabBar::tab { background: %2; color: %3; border: 1px solid %4;"
                       " border-bottom: none; border-top-left-radius: 4px;"
                       " border-top-right-radius: 4px; padding: 4px 8px; margin: 2px 1px 0 1px; }"
                       "QTabBar::tab:hover:!selected { background: %5; }"
                       "QTabBar::tab:selected { background: %6; color: %7; }")
            .arg(c.strip.name(), c.tab.name(), c.text.name(), c.border.name(), c.hover.name(),
                 c.current.name(), c.currentText.name()));
}

void TabStrip::setBatch(bool on) {
    if (on) shownBeforeBatch_ = isVisible();
    batch_ = on;
    if (on) return hide();
    // Hidden, the strip lays itself out once, when shown.
    for (int i = 0; i < count(); ++i)
        if (const auto it = pendingCaptions_.constFind(pageAt(i)); it != pendingCaptions_.cend())
            setTabText(i, *it);
    pendingCaptions_.clear();
    setVisible(shownBeforeBatch_);
}

// The strip asks every tab's size whenever one is added or changed, and measuring a caption
// is the cost: with hundreds of tabs a restore would take seconds. Kept per caption, whether
// it has an icon, and its place.
QSize TabStrip::tabSizeHint(int index) const {
    const int place = (index == currentIndex()) | (index == 0) << 1 | (index == count() - 1) << 2;
    const QString key = tabText(index) + QChar(u'0' + place + (tabIcon(index).isNull() ? 8 : 0));
    if (const auto it = sizes_.constFind(key); it != sizes_.cend()) return *it;
    if (sizes_.size() > 2000) sizes_.clear();
    // With room for the close button, as the strip makes for a button of its own.
    const QSize close = closeSize();
    const QSize tab = QTabBar::tabSizeHint(index);
    return sizes_[key] = QSize(tab.width() + close.width() + 4, qMax(tab.height(), close.height()));
}

void TabStrip::changeEvent(QEvent *event) {
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange) sizes_.clear();
    QTabBar::changeEvent(event);
}

bool TabStrip::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    // The dragged tab's picture is the one child of no class of its own (the others are
    // the scroll buttons).
    if (type == QEvent::ChildPolished && watched == this) {
        auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child());
        if (child && child->metaObject() == &QWidget::staticMetaObject && child != movingTab_) {
            movingTab_ = child;
            child->installEventFilter(this);
        }
    }
    if (type == QEvent::Paint && watched == movingTab_) {
        paintMovingTab(movingTab_);
        return true;
    }
    if (watched == this && closeButtonEvent(event)) return true;
    if (type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease)
        return QTabBar::eventFilter(watched, event);
    auto *me = static_cast<QMouseEvent *>(event);
    if (type == QEvent::MouseButtonDblClick && tabAt(me->position().toPoint()) < 0) {
        emit NewTabRequested();  // the strip's empty part, as in other browsers
        return true;
    }
    if (type != QEvent::MouseButtonRelease) return QTabBar::eventFilter(watched, event);
    const int index = tabAt(me->position().toPoint());
    // A middle click closes the tab (gestures, when on, take the button first).
    if (me->button() == Qt::MiddleButton) {
        if (QWidget *page = pageAt(index)) emit CloseRequested(page);
        return true;
    }
    if (me->button() != Qt::RightButton) return QTabBar::eventFilter(watched, event);
    if (index >= 0) setCurrentIndex(index);
    emit MenuRequested(me->globalPosition().toPoint(), index >= 0 || count() == 0);
    return true;
}

// The drawn close buttons: hovered, pressed and released over the same one, it closes that
// tab; a press on one neither makes its tab current nor starts a drag.
bool TabStrip::closeButtonEvent(QEvent *event) {
    switch (event->type()) {
        case QEvent::Leave:
            setHoveredClose(-1);
            return false;
        case QEvent::ToolTip: {
            const auto *help = static_cast<QHelpEvent *>(event);
            if (closeAt(help->pos()) < 0) return false;
            QToolTip::showText(help->globalPos(), QStringLiteral("关闭此选项卡"), this);
            return true;
        }
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            break;
        default:
            return false;
    }
    auto *me = static_cast<QMouseEvent *>(event);
    const int at = closeAt(me->position().toPoint());
    if (me->type() == QEvent::MouseMove) {
        setHoveredClose(me->buttons() == Qt::NoButton || pressedClose_ >= 0 ? at : -1);
        return pressedClose_ >= 0;
    }
    if (me->button() != Qt::LeftButton) return false;
    if (me->type() == QEvent::MouseButtonPress) {
        if (at < 0) return false;
        pressedClose_ = at;
        update(closeRect(at));
        return true;
    }
    const int pressed = std::exchange(pressedClose_, -1);
    if (pressed < 0) return false;
    if (pressed < count()) update(closeRect(pressed));
    if (pressed == at)
        if (QWidget *page = pageAt(at)) emit CloseRequested(page);
    return true;
}
