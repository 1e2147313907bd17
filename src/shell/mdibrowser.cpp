#include "mdibrowser.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "colour.h"
#include "commandline.h"
#include "config.h"
#include "geometry.h"
#include "platform/dialogs.h"
#include "platform/keystate.h"
#include "platform/platform.h"
#include "platform/webview.h"
#include "search.h"
#include "services/parental.h"
#include "services/windowhelpers.h"
#include "tab/form1.h"
#include "tab/lockpanel.h"
#include "tab/navpage.h"

namespace {

const char *const kButtonTips[5] = {"后退", "前进", "停止", "刷新", "菜单"};

QString formIniPath() {
    return AppDir() + QStringLiteral("数据/Form.ini");
}

QColor fromBgr(const QString &text, const QColor &fallback) {
    const auto v = BgrFromText(text);
    return v ? ColourFromBgr(*v) : fallback;
}

}  // namespace

mdiBrowser::mdiBrowser(Platform &platform, const QString &commandLine, QWidget *parent)
    : QMainWindow(parent), platform_(platform), commandLine_(commandLine) {
    setObjectName(QStringLiteral("mdiBrowser"));
    setWindowTitle(QStringLiteral("Orvex Lumetta"));
    buildChrome();
    buildMenus();
    tmrKey = new QTimer(this);
    tmrKey->setInterval(10);
    connect(tmrKey, &QTimer::timeout, this, &mdiBrowser::onKeyPoll);
}

mdiBrowser::~mdiBrowser() = default;

void mdiBrowser::buildChrome() {
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The toolbar strip: back, forward, stop/refresh on one spot, address box, menu.
    picToolBar = new QWidget(central);
    picToolBar->setObjectName(QStringLiteral("picToolBar"));
    picToolBar->setAutoFillBackground(true);
    auto *bar = new QHBoxLayout(picToolBar);
    bar->setContentsMargins(4, 5, 4, 5);
    bar->setSpacing(3);
    const QString skin = AppDir() + QStringLiteral("皮肤/") + ReadThemeKey(QStringLiteral("Theme"));
    const QString pics =
        AppDir() + QStringLiteral("皮肤/") +
        config::localPath(ReadIni(QStringLiteral("Folder"), QStringLiteral("fld"), skin));
    for (int i = 0; i < 5; ++i) {
        picTBtn[i] = new QToolButton(picToolBar);
        picTBtn[i]->setObjectName(QStringLiteral("picTBtn%1").arg(i));
        picTBtn[i]->setToolTip(QString::fromUtf8(kButtonTips[i]));
        picTBtn[i]->setAutoRaise(true);
        picTBtn[i]->setIconSize(QSize(30, 30));
        const QIcon icon(pics +
                         ReadIni(QStringLiteral("Pics"), QStringLiteral("tb%1").arg(i + 1), skin));
        if (!icon.isNull())
            picTBtn[i]->setIcon(icon);
        else
            picTBtn[i]->setText(picTBtn[i]->toolTip());
    }
    auto *stopRefresh = new QStackedWidget(picToolBar);
    stopRefresh->setObjectName(QStringLiteral("stopRefresh"));
    stopRefresh->addWidget(picTBtn[2]);
    stopRefresh->addWidget(picTBtn[3]);
    stopRefresh->setCurrentWidget(picTBtn[3]);
    stopRefresh->setFixedSize(picTBtn[3]->sizeHint());

    cboAddress = new QComboBox(picToolBar);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    cboAddress->setEditable(true);
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setMinimumHeight(28);
    cboAddress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    cboAddress->addItems({QStringLiteral("转到"), QStringLiteral("搜索")});
    cboAddress->setEditText(QString());
    cboAddress->lineEdit()->installEventFilter(this);
    cboAddress->lineEdit()->setPlaceholderText(QStringLiteral("输入网址或搜索内容"));
    connect(cboAddress->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &t) { addressTag = t; });
    connect(cboAddress, &QComboBox::activated, this, [this] { onAddressClick(); });

    picLogo = new QWidget(picToolBar);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    auto *logo = new QHBoxLayout(picLogo);
    logo->setContentsMargins(6, 0, 0, 0);
    logo->addWidget(picTBtn[4]);

    bar->addWidget(picTBtn[0]);
    bar->addWidget(picTBtn[1]);
    bar->addWidget(stopRefresh);
    bar->addSpacing(6);
    bar->addWidget(cboAddress, 1);
    bar->addWidget(picLogo);

    lblPro = new QLabel(picToolBar);
    lblPro->setObjectName(QStringLiteral("lblPro"));
    lblPro->setAutoFillBackground(true);
    lblPro->hide();

    MDITabs = new QTabBar(central);
    MDITabs->setObjectName(QStringLiteral("MDITabs"));
    MDITabs->setDocumentMode(true);
    MDITabs->setExpanding(false);
    MDITabs->setTabsClosable(true);
    MDITabs->setElideMode(Qt::ElideRight);
    MDITabs->setUsesScrollButtons(true);
    MDITabs->setContextMenuPolicy(Qt::CustomContextMenu);
    MDITabs->installEventFilter(this);
    connect(MDITabs, &QTabBar::currentChanged, this, &mdiBrowser::onTabChanged);
    connect(MDITabs, &QTabBar::tabCloseRequested, this, [this](int i) {
        if (Form1 *t = tabAt(i)) CloseTab(t);
    });

    children_ = new QStackedWidget(central);

    picStaBar = new QWidget(central);
    picStaBar->setObjectName(QStringLiteral("picStaBar"));
    picStaBar->setAutoFillBackground(true);
    auto *status = new QHBoxLayout(picStaBar);
    status->setContentsMargins(8, 1, 8, 1);
    lblSta = new QLabel(picStaBar);
    lblSta->setObjectName(QStringLiteral("lblSta"));
    lblSta->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblMouse = new QLabel(QStringLiteral("鼠标手势"), picStaBar);
    lblMouse->setObjectName(QStringLiteral("lblMouse"));
    lblZoom = new QLabel(QStringLiteral("100 %"), picStaBar);
    lblZoom->setObjectName(QStringLiteral("lblZoom"));
    lblZoom->setMinimumWidth(60);
    lblZoom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    status->addWidget(lblSta, 1);
    status->addWidget(lblMouse);
    status->addSpacing(12);
    status->addWidget(lblZoom);

    column->addWidget(picToolBar);
    column->addWidget(MDITabs);
    column->addWidget(children_, 1);
    column->addWidget(picStaBar);
    setCentralWidget(central);

    // Colours of the current skin.
    const QColor barColour = fromBgr(
        ReadIni(QStringLiteral("Color"), QStringLiteral("clrBar"), skin), QColor(0x9b, 0xcb, 0xff));
    const QColor proColour = fromBgr(
        ReadIni(QStringLiteral("Color"), QStringLiteral("clrBG"), skin), QColor(0xc0, 0xdc, 0xfe));
    for (QWidget *w : {picToolBar, picStaBar}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, barColour);
        w->setPalette(p);
    }
    QPalette pp = lblPro->palette();
    pp.setColor(QPalette::Window, proColour);
    lblPro->setPalette(pp);

    connect(picTBtn[0], &QToolButton::clicked, this, [this] { mnuNc[1]->trigger(); });
    connect(picTBtn[1], &QToolButton::clicked, this, [this] { mnuNc[0]->trigger(); });
    connect(picTBtn[2], &QToolButton::clicked, this, [this] { mnuNc[3]->trigger(); });
    connect(picTBtn[3], &QToolButton::clicked, this, [this] { mnuNc[4]->trigger(); });
    connect(picTBtn[4], &QToolButton::clicked, this,
            [this] { mnuMenu->popup(picTBtn[4]->mapToGlobal(QPoint(0, picTBtn[4]->height()))); });
}

void mdiBrowser::buildMenus() {
    auto later = [](QAction *a) {
        a->setEnabled(false);  // its window is not part of this build yet
        return a;
    };
    mnuMenu = new QMenu(this);
    mnuM = mnuMenu->addMenu(QStringLiteral("管理"));
    mnuNew = mnuM->addAction(QStringLiteral("开始新的浏览..."), this, &mdiBrowser::OpenNewFrm);
    mnuM->addSeparator();
    QMenu *display = mnuM->addMenu(QStringLiteral("显示"));
    mnuDis[0] = display->addAction(QStringLiteral("状态栏"));
    mnuDis[1] = display->addAction(QStringLiteral("载入进度"));
    for (int i = 0; i < 2; ++i) {
        mnuDis[i]->setCheckable(true);
        mnuDis[i]->setChecked(true);
    }
    connect(mnuDis[0], &QAction::toggled, this, [this](bool on) {
        picStaBar->setVisible(on);
        WriteSetting(QStringLiteral("StBar"), on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    connect(mnuDis[1], &QAction::toggled, this, [this](bool on) {
        if (!on) lblPro->hide();
        WriteSetting(QStringLiteral("PrBar"), on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    mnuM->addSeparator();
    mnuClAl = mnuM->addAction(QStringLiteral("关闭所有页面"), this, &mdiBrowser::CloseAllTabs);
    mnuClNw = mnuM->addAction(QStringLiteral("关闭当前页"), this, &mdiBrowser::CloseActiveTab);
    mnuMouse = mnuM->addAction(QStringLiteral("开启鼠标手势"));
    mnuMouse->setCheckable(true);
    mnuMouse->setChecked(true);
    connect(mnuMouse, &QAction::triggered, this, &mdiBrowser::onMouseToggled);
    mnuM->addSeparator();
    mnuEnd = mnuM->addAction(QStringLiteral("退出"), this, &QWidget::close);

    QMenu *browse = mnuMenu->addMenu(QStringLiteral("浏览"));
    const char *browseCaptions[8] = {"前进", "后退",  nullptr, "停止",
                                     "刷新", nullptr, "主页",  "搜索"};
    for (int i = 0; i < 8; ++i) {
        if (!browseCaptions[i]) {
            mnuNc[i] = browse->addSeparator();
            continue;
        }
        mnuNc[i] = browse->addAction(QString::fromUtf8(browseCaptions[i]));
        connect(mnuNc[i], &QAction::triggered, this, [this, i] {
            Form1 *t = ActiveForm();
            if (!t) return;
            WebView *v = t->brwWebBrowser;
            switch (i) {
                case 0:
                    v->GoForward();
                    break;
                case 1:
                    if (!t->picNav->isHidden())
                        t->picNav->hide();
                    else
                        v->GoBack();
                    break;
                case 3:
                    v->Stop();
                    break;
                case 4:
                    v->Refresh();
                    break;
                case 6:
                    v->GoHome();
                    break;
                case 7:
                    v->GoSearch();
                    break;
            }
        });
    }

    QMenu *page = mnuMenu->addMenu(QStringLiteral("页面"));
    mnuPc0 = page->addAction(QStringLiteral("打印当前页..."), this, [this] {
        if (Form1 *t = ActiveForm()) t->brwWebBrowser->Print(this);
    });
    QMenu *zoom = page->addMenu(QStringLiteral("页面缩放"));
    for (int i = 0; i < 8; ++i) {
        const int percent = std::abs(i - 8) * 50;
        mnuZ[i] = zoom->addAction(QStringLiteral("%1%").arg(percent), this,
                                  [this, percent] { setZoom(percent); });
    }
    page->addSeparator();
    mnuDM = later(page->addAction(QStringLiteral("启动下载管理器")));
    page->addSeparator();
    mnuOrgFav = page->addAction(QStringLiteral("整理书签"), this, &mdiBrowser::OrganiseBookmarks);
    page->addSeparator();
    mnuAddFav = later(page->addAction(QStringLiteral("添加到书签")));
    mnuAddDkt = later(page->addAction(QStringLiteral("添加到桌面")));

    QMenu *priv = mnuMenu->addMenu(QStringLiteral("私人"));
    mnuPrc[0] = later(priv->addAction(QStringLiteral("SuperHide")));
    mnuPrc[0]->setShortcut(QKeySequence(Qt::Key_F2));
    mnuPrc[1] = priv->addAction(QStringLiteral("密码保护"), this, [this] {
        if (Form1 *t = ActiveForm()) t->setLocked(true);
    });
    mnuPrc[1]->setShortcut(QKeySequence(Qt::Key_F4));
    mnuPrc[2] = priv->addSeparator();
    mnuPrc[3] = later(priv->addAction(QStringLiteral("程序设置")));
    mnuPrc[4] = priv->addSeparator();
    mnuPrc[5] = later(priv->addAction(QStringLiteral("皮肤...")));
    for (QAction *a : {mnuPrc[0], mnuPrc[1]})
        a->setShortcutContext(Qt::WidgetShortcut);  // the key poll acts on F2 and F4

    QMenu *help = mnuMenu->addMenu(QStringLiteral("帮助"));
    mnuHc[0] = later(help->addAction(QStringLiteral("检查更新")));
    mnuHc[1] = help->addSeparator();
    mnuHc[2] = later(help->addAction(QStringLiteral("关于...")));

    mnuTabs = new QMenu(this);
    mnuTabs->addAction(QStringLiteral("关闭选项卡"), this, &mdiBrowser::CloseActiveTab);
    mnuTabs->addAction(QStringLiteral("新建选项卡"), this, &mdiBrowser::OpenNewFrm);
}

bool mdiBrowser::Load() {
    platform_.prepareWebEngine();
    restoreGeometryFromFile();
    show();
    if (const QScreen *s = screen()) {
        SetWindowSizeLimits(this, 0, 0, s->size().width(),
                            s->size().height() - TaskbarHeight(this));
    }
    HandleCommandLine();
    if (ReadSetting(QStringLiteral("Mouse")) == QLatin1String("1")) {
        mnuMouse->setChecked(true);
    } else {
        lblMouse->setText(QStringLiteral("关闭手势"));
        mnuMouse->setChecked(false);
    }
    CurrentZoom = 100;
    if (!OpenParents()) return false;
    ApplyBarSettings();
    SHKey = ReadSetting(QStringLiteral("SHKey"));
    if (commandLine_.isEmpty()) mnuNew->trigger();
    tmrKey->start();
    return true;
}

bool mdiBrowser::OpenParents() {
    if (!BrowsingBlocked(ParentalNow(), ReadParentalSettings())) return true;
    tmrKey->stop();
    hide();
    platform_.dialogs().MsgBox(this, ParentalMessage(), QStringLiteral("家长控制"),
                               Dialogs::Exclamation);
    return false;
}

void mdiBrowser::restoreGeometryFromFile() {
    QList<QRect> screens;
    for (const QScreen *s : QGuiApplication::screens()) screens << s->availableGeometry();
    const QRect fallback(60, 60, 1080, 750);
    setGeometry(RestoredGeometry(ReadStoredGeometry(formIniPath()), fallback, TwipsPerPixel(this),
                                 screens));
}

void mdiBrowser::HandleCommandLine() {
    const StartCommand cmd = ParseCommandLine(commandLine_);
    switch (cmd.kind) {
        case StartCommand::Empty:
            return;
        case StartCommand::Password: {
            OpenNewFrm();
            Form1 *locked = CreateTab();
            locked->setLocked(true);
            ShowTab(locked);
            return;
        }
        case StartCommand::Config:
            // The settings dialog is not part of this build: start as without a command.
            OpenNewFrm();
            return;
        case StartCommand::Open:
            newTabOn(cmd.address);
            return;
    }
}

void mdiBrowser::ApplyBarSettings() {
    if (config::numberOrZero(ReadSetting(QStringLiteral("StBar"))) == 0) {
        mnuDis[0]->setChecked(false);
        picStaBar->hide();
    }
    if (config::numberOrZero(ReadSetting(QStringLiteral("PrBar"))) == 0) {
        mnuDis[1]->setChecked(false);
        lblPro->hide();
    }
}

void mdiBrowser::OnHandOff(const QString &command) {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    const HandOff h = ParseHandOff(command);
    if (h.kind == HandOff::Open) {
        newTabOn(h.address);
    } else if (h.kind == HandOff::OpenNew) {
        Form1 *t = CreateTab();
        t->brwWebBrowser->GoHome();
        ShowTab(t);
    }
}

Form1 *mdiBrowser::newTabOn(const QString &address) {
    Form1 *t = CreateTab();
    t->brwWebBrowser->Navigate(address);
    ShowTab(t);
    return t;
}

Form1 *mdiBrowser::CreateTab() {
    auto *t = new Form1(this, platform_, children_);
    children_->addWidget(t);
    const int index = MDITabs->addTab(QStringLiteral("空白页"));
    MDITabs->setTabData(index, QVariant::fromValue<void *>(t));
    MDITabs->setTabToolTip(index, QString());
    MDITabs->setCurrentIndex(index);  // a tab that shows itself becomes the active one
    t->Load();
    return t;
}

void mdiBrowser::ShowTab(Form1 *tab) {
    const int index = children_->indexOf(tab);
    if (index >= 0) MDITabs->setCurrentIndex(index);
}

void mdiBrowser::ColourTab(Form1 *tab, bool withEditor) {
    const QColor cover = lblPro->palette().color(QPalette::Window);
    const QColor bar = picToolBar->palette().color(QPalette::Window);
    tab->picPass->setColour(cover);
    tab->picNav->setColours(cover, withEditor ? bar : QColor(155, 203, 255), bar);
}

void mdiBrowser::OpenNewFrm() {
    const bool hadHomePage = !CurrentHomePage.isEmpty();
    Form1 *t = CreateTab();
    if (config::numberOrZero(ReadSetting(QStringLiteral("IEHomePage"))) != 1) {
        if (config::numberOrZero(ReadSetting(QStringLiteral("OnOpen"))) == 1)
            t->brwWebBrowser->Navigate(ReadSetting(QStringLiteral("LastPage")));
        else if (hadHomePage)
            t->brwWebBrowser->Navigate(CurrentHomePage);
    } else {
        t->brwWebBrowser->GoHome();
    }
    ColourTab(t, true);
    ShowTab(t);
}

Form1 *mdiBrowser::tabAt(int index) const {
    return index < 0 ? nullptr : static_cast<Form1 *>(MDITabs->tabData(index).value<void *>());
}

Form1 *mdiBrowser::ActiveForm() const {
    return tabAt(MDITabs->currentIndex());
}

QList<Form1 *> mdiBrowser::tabs() const {
    QList<Form1 *> out;
    for (int i = 0; i < MDITabs->count(); ++i) out << tabAt(i);
    return out;
}

void mdiBrowser::CloseTab(Form1 *tab) {
    const int index = children_->indexOf(tab);
    if (index < 0) return;
    tab->Unload();
    children_->removeWidget(tab);
    MDITabs->removeTab(index);
    tab->hide();
    tab->deleteLater();  // it may be closing from inside one of its own events
}

void mdiBrowser::CloseActiveTab() {
    if (Form1 *t = ActiveForm()) CloseTab(t);
}

void mdiBrowser::CloseAllTabs() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    while (Form1 *t = ActiveForm()) CloseTab(t);
    QApplication::restoreOverrideCursor();
    OpenNewFrm();
}

void mdiBrowser::OrganiseBookmarks() {
    const QString folder = AppDir() + QStringLiteral("书签/");
    if (QDir(folder).exists()) newTabOn(folder);
}

void mdiBrowser::onTabChanged(int index) {
    Form1 *t = tabAt(index);
    if (!t) return;
    children_->setCurrentWidget(t);
    t->GotFocus();
}

void mdiBrowser::tabCaptionChanged(Form1 *tab) {
    const int index = children_->indexOf(tab);
    if (index < 0) return;
    const QString caption = tab->caption().isEmpty() ? QStringLiteral("空白页") : tab->caption();
    MDITabs->setTabText(index, caption.size() > 24 ? caption.left(23) + QChar(0x2026) : caption);
    MDITabs->setTabToolTip(index, tab->caption());
}

void mdiBrowser::AddressListAppend(const QString &url) {
    for (int i = cboAddress->count() - 1; i >= 0; --i)
        if (cboAddress->itemText(i) == url) cboAddress->removeItem(i);
    AddressListUpdating = true;
    cboAddress->addItem(url);
    addressTag = url;
    cboAddress->setCurrentIndex(cboAddress->count() - 1);
    AddressListUpdating = false;
}

void mdiBrowser::onAddressClick() {
    if (AddressListUpdating) return;
    if (!ActiveForm()) ShowTab(CreateTab());
    Form1 *t = ActiveForm();
    const QString text = cboAddress->currentText();
    if (text == QStringLiteral("转到")) {
        t->brwWebBrowser->Navigate(addressTag);
    } else if (text == QStringLiteral("搜索")) {
        const QString address = SearchAddress(ReadSetting(QStringLiteral("Search")), addressTag);
        if (!address.isEmpty()) t->brwWebBrowser->Navigate(address);
    } else {
        t->brwWebBrowser->Navigate(text);
    }
    t->picNav->hide();
    t->brwWebBrowser->widget()->setFocus();
}

void mdiBrowser::showStopButton() {
    static_cast<QStackedWidget *>(picTBtn[2]->parentWidget())->setCurrentWidget(picTBtn[2]);
}

void mdiBrowser::showRefreshButton() {
    static_cast<QStackedWidget *>(picTBtn[3]->parentWidget())->setCurrentWidget(picTBtn[3]);
}

bool mdiBrowser::showsLoadProgress() const {
    return mnuDis[1]->isChecked();
}

void mdiBrowser::setProgressFraction(double fraction) {
    // A thin bar along the address box's lower edge, growing from its left.
    const QRect box = cboAddress->geometry();
    lblPro->setGeometry(box.x(), box.bottom() + 2, int(box.width() * fraction), 3);
    lblPro->setVisible(lblPro->width() != box.width());
    lblPro->raise();
}

void mdiBrowser::setZoom(int percent) {
    WriteSetting(QStringLiteral("Zoom"), QString::number(percent));
    if (Form1 *t = ActiveForm()) t->brwWebBrowser->SetPageZoom(QStringLiteral("%1%").arg(percent));
    lblZoom->setText(QStringLiteral("%1 %").arg(percent));
    CurrentZoom = percent;
}

void mdiBrowser::onMouseToggled() {
    const bool on = mnuMouse->isChecked();
    lblMouse->setText(on ? QStringLiteral("鼠标手势") : QStringLiteral("关闭手势"));
    WriteSetting(QStringLiteral("Mouse"), on ? QStringLiteral("1") : QStringLiteral("0"));
}

void mdiBrowser::onKeyPoll() {
    KeyState &keys = platform_.keys();
    if (keys.isDown(Qt::Key_F2)) {
        if (mnuPrc[0]->isEnabled()) mnuPrc[0]->trigger();
    } else if (keys.isDown(Qt::Key_F4)) {
        mnuPrc[1]->trigger();
    }
}

int mdiBrowser::loadedWindowCount() const {
    int n = 1 + MDITabs->count();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && !(w->windowType() == Qt::Popup) &&
            !(w->windowType() == Qt::ToolTip) && qobject_cast<QDialog *>(w))
            ++n;
    return n;
}

void mdiBrowser::closeEvent(QCloseEvent *event) {
    if (ReadSetting(QStringLiteral("Unload")) == QLatin1String("1") && loadedWindowCount() > 2) {
        const auto answer = platform_.dialogs().MsgBox(
            this, QStringLiteral("浏览器内部可能还有未关闭的页面\r\n您仍要关闭吗？"),
            QStringLiteral("关闭"), Dialogs::Information, Dialogs::YesNo);
        if (answer != Dialogs::AnswerYes) {
            event->ignore();
            return;
        }
    }
    tmrKey->stop();
    const QList<Form1 *> all = tabs();
    for (Form1 *t : all) CloseTab(t);
    if (!isMaximized()) WriteStoredGeometry(formIniPath(), geometry(), TwipsPerPixel(this));
    // A value that is no number counts as set, as the failing test passes.
    bool numeric = false;
    const double autoDelete = config::toNumber(ReadSetting(QStringLiteral("AutoDelete")), &numeric);
    if (!numeric || autoDelete == 1) platform_.ClearTracks();
    QCoreApplication::processEvents();
    event->accept();
}

void mdiBrowser::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    lblPro->hide();  // a resize ends any visible progress bar
}

bool mdiBrowser::eventFilter(QObject *watched, QEvent *event) {
    if (watched == cboAddress->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            onAddressClick();
            return true;
        }
    }
    if (watched == MDITabs && event->type() == QEvent::MouseButtonRelease) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::RightButton) {
            const int index = MDITabs->tabAt(me->pos());
            if (index >= 0) {
                MDITabs->setCurrentIndex(index);
                mnuTabs->popup(me->globalPosition().toPoint());
            } else {
                mnuM->popup(me->globalPosition().toPoint());
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
