// The frame's own chrome: toolbar strip as title bar, caption buttons, logo area,
// status strip, the skin on all of them, and the layout rules on every resize.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStackedWidget>
#include <QStyleHints>
#include <QTabBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include "chromewidgets.h"
#include "core/bookmarks.h"
#include "core/config.h"
#include "core/settings.h"
#include "findbar.h"
#include "mdibrowser.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/webview.h"
#include "services/windowhelpers.h"
#include "skins/colour.h"
#include "skins/skin.h"
#include "tab/form1.h"
#include "tab/navpage.h"

namespace {

constexpr int kMaxDroppedFiles = 100;
const char *const kButtonTips[5] = {"后退", "前进", "停止", "刷新", "菜单(双击进入导航)"};

QLabel *pictureLabel(QWidget *parent, const char *name) {
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setScaledContents(true);  // stretched by the layout rules
    return l;
}

}  // namespace

int mdiBrowser::px(int twips) const {
    return qRound(twips / TwipsPerPixel(this));
}
int mdiBrowser::twips(int pixels) const {
    return qRound(pixels * TwipsPerPixel(this));
}

void mdiBrowser::buildChrome() {
    // The frame draws its own title bar.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setMouseTracking(true);
    setContentsMargins(chrome::kBorder, chrome::kBorder, chrome::kBorder, chrome::kBorder);

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    picToolBar = new QWidget(central);
    picToolBar->setObjectName(QStringLiteral("picToolBar"));
    picToolBar->setFixedHeight(px(chrome::kToolBarHeight));
    picToolBar->installEventFilter(this);
    imgBG = pictureLabel(picToolBar, "imgBG");
    lblPro = new QLabel(picToolBar);
    lblPro->setObjectName(QStringLiteral("lblPro"));
    lblPro->setAutoFillBackground(true);
    lblPro->hide();
    for (int i = 0; i < 4; ++i) picTBtn[i] = new PictureButton(picToolBar);

    cboAddress = new QComboBox(picToolBar);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->addItems({QStringLiteral("转到"), QStringLiteral("搜索")});
    cboAddress->setEditText(QString());
    cboAddress->lineEdit()->setPlaceholderText(QStringLiteral("输入网址或搜索内容"));
    cboAddress->resize(cboAddress->width(), cboAddress->sizeHint().height());
    for (QWidget *w :
         {static_cast<QWidget *>(cboAddress), static_cast<QWidget *>(cboAddress->lineEdit())}) {
        w->setAcceptDrops(true);
        w->installEventFilter(this);
    }
    connect(cboAddress->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &t) { addressTag = t; });
    connect(cboAddress, &QComboBox::activated, this, [this] { onAddressClick(); });
    // The combo box also "activates" when the box merely loses the focus with the text of a
    // list item; only a choice from the list or Enter may navigate.
    disconnect(cboAddress->lineEdit(), &QLineEdit::editingFinished, cboAddress, nullptr);

    picLogo = new LogoArea(picToolBar);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setGeometry(0, px(chrome::kLogo.y()), px(chrome::kLogo.width()),
                         px(chrome::kLogo.height()));
    picTBtn[4] = new PictureButton(picLogo);
    for (int i = 0; i < 3; ++i) {
        picCtl[i] = new CaptionButton(CaptionButton::Kind(i), picLogo);
        picCtl[i]->setObjectName(QStringLiteral("picCtl%1").arg(i));
        picCtl[i]->setGeometry(px(chrome::kCaptionLeft[i]), px(chrome::kCaptionTop),
                               px(chrome::kCaptionSize), px(chrome::kCaptionSize));
    }
    connect(picCtl[0], &QAbstractButton::clicked, this, [this] { Execute(Command::Exit); });
    connect(picCtl[1], &QAbstractButton::clicked, this, &mdiBrowser::toggleMaximised);
    connect(picCtl[2], &QAbstractButton::clicked, this, &QWidget::showMinimized);

    for (int i = 0; i < 5; ++i) {
        picTBtn[i]->setObjectName(QStringLiteral("picTBtn%1").arg(i));
        picTBtn[i]->setToolTip(QString::fromUtf8(kButtonTips[i]));
        connect(picTBtn[i], &QAbstractButton::pressed, this,
                [this, i] { loadButtonPicture(i, true); });
        connect(picTBtn[i], &QAbstractButton::released, this,
                [this, i] { loadButtonPicture(i, false); });
    }
    connect(picTBtn[0], &QAbstractButton::clicked, this, [this] { Execute(Command::Back); });
    connect(picTBtn[1], &QAbstractButton::clicked, this, [this] { Execute(Command::Forward); });
    connect(picTBtn[2], &QAbstractButton::clicked, this, [this] {
        Execute(Command::Stop);
        showRefreshButton();
    });
    connect(picTBtn[3], &QAbstractButton::clicked, this, [this] { Execute(Command::Refresh); });
    // One click opens the menu, two toggle the navigation page.
    menuClick_.setSingleShot(true);
    menuClick_.setInterval(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    connect(picTBtn[4], &QAbstractButton::clicked, &menuClick_, qOverload<>(&QTimer::start));
    connect(&menuClick_, &QTimer::timeout, this, [this] {
        const int x = picLogo->x() + px(chrome::kShape0.x());  // under the logo
        mnuMenu->popup(picToolBar->mapToGlobal(QPoint(x, picToolBar->height())));
    });
    connect(picTBtn[4], &PictureButton::doubleClicked, this, [this] {
        menuClick_.stop();
        Execute(Command::NavigationPage);
    });

    MDITabs = new QTabBar(central);
    MDITabs->setObjectName(QStringLiteral("MDITabs"));
    MDITabs->setDocumentMode(true);
    MDITabs->setExpanding(false);
    MDITabs->setTabsClosable(true);
    MDITabs->setElideMode(Qt::ElideRight);
    MDITabs->setUsesScrollButtons(true);
    MDITabs->installEventFilter(this);
    // The strip keeps its height with no tab, so its menu stays within reach.
    MDITabs->addTab(QStringLiteral("空白页"));
    MDITabs->setMinimumHeight(MDITabs->sizeHint().height());
    MDITabs->removeTab(0);
    connect(MDITabs, &QTabBar::currentChanged, this, &mdiBrowser::onTabChanged);
    connect(MDITabs, &QTabBar::tabCloseRequested, this, [this](int i) {
        if (Form1 *t = tabAt(i)) CloseTab(t);
    });

    // The tabs, and in their place while there is none, the empty page.
    auto *body = new QWidget(central);
    auto *cell = new QGridLayout(body);
    cell->setContentsMargins(0, 0, 0, 0);
    children_ = new QStackedWidget(body);
    emptyPage_ = new EmptyPage(body);
    cell->addWidget(children_, 0, 0);
    cell->addWidget(emptyPage_, 0, 0);
    connect(emptyPage_, &EmptyPage::newTabRequested, this, &mdiBrowser::OpenNewFrm);
    showEmptyPage();

    picStaBar = new QWidget(central);
    picStaBar->setObjectName(QStringLiteral("picStaBar"));
    picStaBar->setFixedHeight(px(chrome::kStaBarHeight));
    imgStaBG = pictureLabel(picStaBar, "imgStaBG");
    lblSta = new QLabel(QStringLiteral("状态"), picStaBar);
    lblSta->setObjectName(QStringLiteral("lblSta"));
    lblMouse = new QLabel(QStringLiteral("鼠标手势"), picStaBar);
    lblMouse->setObjectName(QStringLiteral("lblMouse"));
    lblZoom = new QLabel(QStringLiteral("100 %"), picStaBar);
    lblZoom->setObjectName(QStringLiteral("lblZoom"));
    lblZoom->setToolTip(QStringLiteral("左击放大，右击缩小，单击中键还原"));
    lblZoom->setCursor(Qt::PointingHandCursor);
    lblMouse->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblZoom->setAlignment(Qt::AlignCenter);
    lblSta->setGeometry(px(chrome::kStatus.x()), 0, px(chrome::kStatus.width()),
                        px(chrome::kStatus.height()));
    lblMouse->resize(px(chrome::kMouse.width()), px(chrome::kMouse.height()));
    lblZoom->resize(px(chrome::kZoom.width()), px(chrome::kZoom.height()));

    for (QWidget *w : {static_cast<QWidget *>(imgBG), static_cast<QWidget *>(lblPro),
                       static_cast<QWidget *>(picLogo), static_cast<QWidget *>(imgStaBG),
                       static_cast<QWidget *>(picStaBar), static_cast<QWidget *>(lblZoom),
                       static_cast<QWidget *>(lblSta)})
        w->installEventFilter(this);

    column->addWidget(picToolBar);
    column->addWidget(MDITabs);
    column->addWidget(body, 1);
    column->addWidget(picStaBar);
    setCentralWidget(central);
}

bool mdiBrowser::ApplySkin() {
    return ApplySkin(SkinFilePath());
}

bool mdiBrowser::ApplySkin(const QString &file) {
    const auto skin = LoadSkin(file, platform_.desktop().GlassAvailable());
    if (!skin) {
        platform_.dialogs().MsgBox(this, QStringLiteral("在载入皮肤时出现错误，程序被迫退出"),
                                   QStringLiteral("抱歉"), Dialogs::Exclamation);
        return false;
    }
    const QColor bar = ColourFromBgr(skin->clrBar);
    for (QWidget *w : {picToolBar, static_cast<QWidget *>(picLogo), picStaBar})
        SetBackground(w, bar);
    borderColour_ = bar.darker(125);
    QPalette text = picStaBar->palette();  // readable on light and dark skins alike
    text.setColor(QPalette::WindowText,
                  bar.lightness() < 128 ? QColor(235, 238, 245) : QColor(30, 40, 60));
    picStaBar->setPalette(text);
    findColours_[0] = bar;
    findColours_[1] = text.color(QPalette::WindowText);
    if (picFind) picFind->setColours(findColours_[0], findColours_[1]);
    SetBackground(lblPro, ColourFromBgr(skin->clrBG));
    colourTabStrip(bar);
    picLogo->border = ColourFromBgr(skin->clrLogo);

    chrome::SkinInput in;
    in.toolBarInnerHeight = twips(picToolBar->contentsRect().height());
    in.addressHeight = twips(cboAddress->height());
    for (int i = 0; i < 5; ++i) {
        picTBtn[i]->setPicture(skin->button[i]);
        buttonSize[i] = QSize(twips(picTBtn[i]->width()), twips(picTBtn[i]->height()));
        in.button[i] = buttonSize[i];
    }
    imgBG->setPixmap(skin->bgTop);
    picLogo->background = skin->bgTop;
    imgStaBG->setPixmap(skin->bgBottom);
    skinPositions = chrome::PlaceForSkin(in);
    for (int i = 0; i < 5; ++i)
        picTBtn[i]->move(px(skinPositions.button[i].x()), px(skinPositions.button[i].y()));
    cboAddress->move(px(skinPositions.address.x()), px(skinPositions.address.y()));
    picStaBar->setFixedHeight(px(skinPositions.staBarHeight));
    for (int i = 0; i < 2; ++i) {
        const QRect shape = i == 0 ? chrome::kShape0 : chrome::kShape1;
        picLogo->shape[i] = QRect(px(shape.x()), px(skinPositions.shapeTop[i]), px(shape.width()),
                                  px(shape.height()));
    }
    picLogo->lineY = px(skinPositions.lineY);
    // Glass only where a compositing manager can show it: the chrome turns see-through.
    setAttribute(Qt::WA_TranslucentBackground, skin->glass);
    if (skin->glass)
        for (QWidget *w : {picToolBar, static_cast<QWidget *>(picLogo), picStaBar}) {
            QColor c = bar;
            c.setAlpha(150);
            SetBackground(w, c);
        }
    LayoutChrome();
    update();
    return true;
}

void mdiBrowser::colourTabStrip(const QColor &bar) {
    const TabStripColours c = TabStripFor(bar);
    MDITabs->setStyleSheet(
        QStringLiteral("QTabBar { background: %1; }"
                       "QTabBar::tab { background: %2; color: %3; border: 1px solid %4;"
                       " border-bottom: none; border-top-left-radius: 4px;"
                       " border-top-right-radius: 4px; padding: 4px 8px; margin: 2px 1px 0 1px; }"
                       "QTabBar::tab:hover:!selected { background: %5; }"
                       "QTabBar::tab:selected { background: %6; color: %7; }")
            .arg(c.strip.name(), c.tab.name(), c.text.name(), c.border.name(), c.hover.name(),
                 c.current.name(), c.currentText.name()));
}

void mdiBrowser::LayoutChrome() {
    chrome::ResizeInput in{twips(picToolBar->width()),
                           QRect(skinPositions.button[3], buttonSize[3])};
    in.toolBarHeight = twips(picToolBar->height());
    in.staBarHeight = twips(picStaBar->height());
    const chrome::ResizeLayout r = chrome::OnResize(in);
    picLogo->move(px(r.logoLeft), picLogo->y());
    if (r.addressWidth) cboAddress->resize(px(*r.addressWidth), cboAddress->height());
    imgBG->setGeometry(0, 0, px(r.imgBG.width()), picToolBar->height());
    imgStaBG->setGeometry(0, 0, px(r.imgStaBG.width()), picStaBar->height());
    lblZoom->move(px(r.zoomLeft), 0);
    lblMouse->move(px(r.mouseLeft), 0);
    lblSta->resize(qMax(0, lblMouse->x() - lblSta->x() - 8), lblSta->height());
    lblPro->hide();  // a resize ends any visible progress bar
}

void mdiBrowser::ShowProgress(int progress, int progressMax) {
    const auto width = chrome::ProgressWidth(twips(picToolBar->width()),
                                             QRect(skinPositions.button[3], buttonSize[3]),
                                             chrome::kLogo.width(), progress, progressMax);
    if (width)
        lblPro->setGeometry(px(skinPositions.progressLeft), 0, px(*width), picToolBar->height());
    lblPro->setVisible(lblPro->width() != cboAddress->width());
}

void mdiBrowser::showStopButton() {
    picTBtn[2]->raise();
}
void mdiBrowser::showRefreshButton() {
    picTBtn[3]->raise();
}
bool mdiBrowser::showsLoadProgress() const {
    return mnuDis[1]->isChecked();
}

void mdiBrowser::loadButtonPicture(int index, bool pressed) {
    const QString key = QStringLiteral("tb%1%2").arg(index + 1).arg(pressed ? "_" : "");
    picTBtn[index]->setPicture(SkinPicture(SkinFilePath(), key));
}

// The window manager maximises and restores when there is one; on a bare X server nobody
// would, so the frame places itself, keeping Qt's own state in step either way.
void mdiBrowser::toggleMaximised() {
    const bool bare = !platform_.desktop().WindowManagerRunning();
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

void mdiBrowser::setZoom(int percent) {
    CurrentZoom = percent;
    if (Form1 *t = ActiveForm()) t->brwWebBrowser->SetPageZoom(QStringLiteral("%1%").arg(percent));
    lblZoom->setText(QStringLiteral("%1 %").arg(percent));
    settings::Write(settings::Key::Zoom, percent);
}

void mdiBrowser::DropFiles(const QStringList &paths) {
    for (int i = 0; i < paths.size() && i < kMaxDroppedFiles; ++i)
        newTabOn(IsBookmarkPath(paths[i]) ? ReadBookmarkFile(paths[i]) : paths[i]);
}

Qt::Edges mdiBrowser::edgesAt(const QPoint &pos) const {
    if (isMaximized() || isMinimized()) return {};
    Qt::Edges e;
    if (pos.x() < chrome::kBorder) e |= Qt::LeftEdge;
    if (pos.x() >= width() - chrome::kBorder) e |= Qt::RightEdge;
    if (pos.y() < chrome::kBorder) e |= Qt::TopEdge;
    if (pos.y() >= height() - chrome::kBorder) e |= Qt::BottomEdge;
    return e;
}

void mdiBrowser::mouseMoveEvent(QMouseEvent *e) {
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

void mdiBrowser::mousePressEvent(QMouseEvent *e) {
    const Qt::Edges edges = edgesAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton && edges && windowHandle())
        windowHandle()->startSystemResize(edges);
    QMainWindow::mousePressEvent(e);
}

void mdiBrowser::paintEvent(QPaintEvent *) {
    // The resize border around the chrome; the inside is the central widget's.
    QPainter p(this);
    const QMargins m = contentsMargins();
    const QRect r = rect();
    p.fillRect(QRect(0, 0, r.width(), m.top()), borderColour_);
    p.fillRect(QRect(0, r.height() - m.bottom(), r.width(), m.bottom()), borderColour_);
    p.fillRect(QRect(0, 0, m.left(), r.height()), borderColour_);
    p.fillRect(QRect(r.width() - m.right(), 0, m.right(), r.height()), borderColour_);
}

void mdiBrowser::changeEvent(QEvent *e) {
    if (e->type() == QEvent::WindowStateChange) {
        const auto old = static_cast<QWindowStateChangeEvent *>(e)->oldState();
        // Maximised by the window manager's own means: restore gives back this size.
        if (isMaximized() && !(old & Qt::WindowMaximized) && !normalGeometry_.isValid())
            normalGeometry_ = normalGeometry();
        if (!isMaximized() && !isMinimized()) normalGeometry_ = QRect();
        const int border = isMaximized() ? 0 : chrome::kBorder;
        setContentsMargins(border, border, border, border);
        picCtl[1]->setMaximisedGlyph(isMaximized());
        if (isMinimized() && settings::IsOn(settings::Key::MinPass))
            for (Form1 *t : tabs()) t->setLocked(true);
    }
    QMainWindow::changeEvent(e);
}

void mdiBrowser::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    LayoutChrome();
}

// Drag, double-click and right-click on the chrome's background; the zoom label.
bool mdiBrowser::chromeMouse(QObject *watched, QEvent *event) {
    const bool drag = watched == imgBG || watched == lblPro || watched == picLogo;
    const bool menu = drag || watched == imgStaBG || watched == picStaBar;
    auto *me = static_cast<QMouseEvent *>(event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (drag && me->button() == Qt::LeftButton) {
                dragOffset_ = me->globalPosition().toPoint() - frameGeometry().topLeft();
                drag_ = Drag::Pressed;
            }
            return false;
        case QEvent::MouseMove:
            if (drag && (me->buttons() & Qt::LeftButton) && drag_ != Drag::None && !isMaximized()) {
                // The window manager moves it, once asked per press: it takes the pointer
                // until the button is let go. Without one, we move it ourselves.
                if (drag_ != Drag::System) move(me->globalPosition().toPoint() - dragOffset_);
                if (drag_ == Drag::Pressed)
                    drag_ = windowHandle() && windowHandle()->startSystemMove() ? Drag::System
                                                                                : Drag::Own;
                return true;
            }
            return false;
        case QEvent::MouseButtonDblClick:
            if (drag && me->button() == Qt::LeftButton) {
                toggleMaximised();
                return true;
            }
            return false;
        case QEvent::MouseButtonRelease:
            if (me->button() == Qt::LeftButton) drag_ = Drag::None;
            if (watched == lblZoom) {
                if (me->button() == Qt::LeftButton) Execute(Command::ZoomIn);
                if (me->button() == Qt::RightButton) Execute(Command::ZoomOut);
                if (me->button() == Qt::MiddleButton) Execute(Command::ZoomReset);
                return true;
            }
            if (menu && me->button() == Qt::RightButton) {
                mnuM->popup(me->globalPosition().toPoint());
                return true;
            }
            return false;
        default:
            return false;
    }
}

bool mdiBrowser::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
        case QEvent::MouseButtonDblClick:
            if (watched == MDITabs &&
                MDITabs->tabAt(static_cast<QMouseEvent *>(event)->position().toPoint()) < 0) {
                OpenNewFrm();  // the strip's empty part, as in other browsers
                return true;
            }
            [[fallthrough]];
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
            if (chromeMouse(watched, event)) return true;
            break;
        case QEvent::MouseButtonRelease:
            // The first click into the box selects it all, unless it dragged a selection.
            if (watched == cboAddress->lineEdit() && addressClickSelects_) {
                addressClickSelects_ = false;
                if (!cboAddress->lineEdit()->hasSelectedText()) cboAddress->lineEdit()->selectAll();
                break;
            }
            // The pop-ups the active page was refused, opened once when the user asks.
            if (watched == lblSta) {
                Form1 *t = ActiveForm();
                if (!t || !t->hasBlockedPopups()) break;
                for (const QString &url : t->takeBlockedPopups()) newTabOn(url);
                return true;
            }
            if (watched == MDITabs) {
                auto *me = static_cast<QMouseEvent *>(event);
                // A middle click closes the tab (gestures, when on, take the button first).
                if (me->button() == Qt::MiddleButton) {
                    if (Form1 *t = tabAt(MDITabs->tabAt(me->position().toPoint()))) CloseTab(t);
                    return true;
                }
                if (me->button() != Qt::RightButton) break;
                const int index = MDITabs->tabAt(me->position().toPoint());
                if (index >= 0) MDITabs->setCurrentIndex(index);
                // With no tab at all the strip offers a new one.
                const bool tabMenu = index >= 0 || MDITabs->count() == 0;
                mnuTabs->actions().constFirst()->setEnabled(MDITabs->count() > 0);
                (tabMenu ? mnuTabs : mnuM)->popup(me->globalPosition().toPoint());
                return true;
            }
            if (chromeMouse(watched, event)) return true;
            break;
        case QEvent::KeyPress:
            // A real keyboard's keys reach the combo box, which hands them on to its line
            // edit; whichever sees Enter first goes.
            if (watched == cboAddress || watched == cboAddress->lineEdit()) {
                const int key = static_cast<QKeyEvent *>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                    onAddressClick();
                    return true;
                }
                if (key == Qt::Key_Escape && !cboAddress->view()->isVisible()) {
                    ShowActiveAddress();
                    return true;
                }
            }
            break;
        case QEvent::FocusOut:
            if (watched == cboAddress || watched == cboAddress->lineEdit())
                addressClickSelects_ = true;
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            if (watched == cboAddress || watched == cboAddress->lineEdit()) {
                // Only files are taken; dropped text is ignored.
                auto *de = static_cast<QDropEvent *>(event);
                QStringList files;
                for (const QUrl &u : de->mimeData()->urls())
                    if (u.isLocalFile()) files << u.toLocalFile();
                if (files.isEmpty()) {
                    de->ignore();
                    return true;
                }
                de->acceptProposedAction();
                if (event->type() == QEvent::Drop) DropFiles(files);
                return true;
            }
            break;
        case QEvent::Resize:
            if (watched == picToolBar) LayoutChrome();
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}
