#include "tabstrip.h"

#include <QMouseEvent>
#include <QPainter>

#include "core/textfiles.h"
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
    setTabsClosable(true);
    setMovable(true);  // dragged to another place, as in other browsers
    setElideMode(Qt::ElideRight);
    setUsesScrollButtons(true);
    installEventFilter(this);
    // The strip keeps its height with no tab, so its menu stays within reach.
    addTab(QStringLiteral("空白页"));
    setMinimumHeight(sizeHint().height());
    removeTab(0);
    connect(this, &QTabBar::tabCloseRequested, this, [this](int i) {
        if (QWidget *page = pageAt(i)) emit CloseRequested(page);
    });
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
void TabStrip::paintEvent(QPaintEvent *event) {
    QTabBar::paintEvent(event);
    if (private_.isEmpty()) return;
    QPainter p(this);
    QColor tint = privateColour_;
    tint.setAlpha(60);
    for (int i = 0; i < count(); ++i) {
        if (!private_.contains(pageAt(i))) continue;
        const QRect r = tabRect(i).adjusted(1, 2, -1, 0);  // inside the style's margin
        p.fillRect(r, tint);
        p.fillRect(r.x(), r.y(), r.width(), 3, privateColour_);
    }
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
    setVisible(!on && shownBeforeBatch_);
    if (on) return;
    for (auto it = pendingCaptions_.cbegin(); it != pendingCaptions_.cend(); ++it)
        if (const int index = indexOfPage(it.key()); index >= 0) setTabText(index, it.value());
    pendingCaptions_.clear();
}

// The strip asks every tab's size whenever one is added or changed, and measuring a caption
// is the cost: with hundreds of tabs a restore would take seconds. Kept per caption, whether
// it has an icon, and its place.
QSize TabStrip::tabSizeHint(int index) const {
    const int place = (index == currentIndex()) | (index == 0) << 1 | (index == count() - 1) << 2;
    const QString key = tabText(index) + QChar(u'0' + place + (tabIcon(index).isNull() ? 8 : 0));
    if (const auto it = sizes_.constFind(key); it != sizes_.cend()) return *it;
    if (sizes_.size() > 2000) sizes_.clear();
    return sizes_[key] = QTabBar::tabSizeHint(index);
}

void TabStrip::changeEvent(QEvent *event) {
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange) sizes_.clear();
    QTabBar::changeEvent(event);
}

bool TabStrip::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
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
