// The frame's menu tree: the menu button's pop-up and the tab strip's.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QTabBar>
#include <cmath>

#include "about/frmabout.h"
#include "core/config.h"
#include "core/settings.h"
#include "mdibrowser.h"
#include "platform/webview.h"
#include "tab/form1.h"
#include "tab/frmaddfav.h"
#include "tab/navpage.h"

QAction *mdiBrowser::commandAction(QMenu *menu, const QString &caption, Command command,
                                   const char *name) {
    QAction *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    connect(a, &QAction::triggered, this, [this, a, command] {
        // A check mark is the command's to set, whoever gives it.
        if (a->isCheckable()) {
            const QSignalBlocker quiet(a);
            a->setChecked(!a->isChecked());
        }
        Execute(command);
    });
    return a;
}

void mdiBrowser::buildMenus() {
    mnuMenu = new QMenu(this);
    mnuMenu->setObjectName(QStringLiteral("mnuMenu"));
    mnuM = mnuMenu->addMenu(QStringLiteral("管理"));
    mnuM->setObjectName(QStringLiteral("mnuM"));
    mnuNew = commandAction(mnuM, QStringLiteral("开始新的浏览..."), Command::NewTab, "mnuNew");
    mnuM->addSeparator();
    QMenu *display = mnuM->addMenu(QStringLiteral("显示"));
    mnuDis[0] =
        commandAction(display, QStringLiteral("状态栏"), Command::ToggleStatusBar, "mnuDis0");
    mnuDis[1] =
        commandAction(display, QStringLiteral("载入进度"), Command::ToggleLoadProgress, "mnuDis1");
    mnuM->addSeparator();
    mnuClAl = commandAction(mnuM, QStringLiteral("关闭所有页面"), Command::CloseAll, "mnuClAl");
    mnuClNw = commandAction(mnuM, QStringLiteral("关闭当前页"), Command::CloseTab, "mnuClNw");
    mnuMouse =
        commandAction(mnuM, QStringLiteral("开启鼠标手势"), Command::ToggleGestures, "mnuMouse");
    for (QAction *a : {mnuDis[0], mnuDis[1], mnuMouse}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    mnuM->addSeparator();
    mnuEnd = commandAction(mnuM, QStringLiteral("退出"), Command::Exit, "mnuEnd");

    QMenu *browse = mnuMenu->addMenu(QStringLiteral("浏览"));
    commandAction(browse, QStringLiteral("前进"), Command::Forward, "mnuNc0");
    commandAction(browse, QStringLiteral("后退"), Command::Back, "mnuNc1");
    browse->addSeparator();
    commandAction(browse, QStringLiteral("停止"), Command::Stop, "mnuNc3");
    commandAction(browse, QStringLiteral("刷新"), Command::Refresh, "mnuNc4");
    browse->addSeparator();
    commandAction(browse, QStringLiteral("主页"), Command::Home, "mnuNc6");
    commandAction(browse, QStringLiteral("搜索"), Command::Search, "mnuNc7");

    QMenu *page = mnuMenu->addMenu(QStringLiteral("页面"));
    commandAction(page, QStringLiteral("打印当前页..."), Command::Print, "mnuPc0");
    QMenu *zoom = page->addMenu(QStringLiteral("页面缩放"));
    for (int i = 0; i < 8; ++i) {
        const int percent = std::abs(i - 8) * 50;
        QAction *a = zoom->addAction(QStringLiteral("%1%").arg(percent));
        a->setObjectName(QStringLiteral("mnuZ%1").arg(i));
        connect(a, &QAction::triggered, this, [this, percent] { Execute(Command::Zoom, percent); });
    }
    page->addSeparator();
    commandAction(page, QStringLiteral("启动下载管理器"), Command::Downloads, "mnuDM");
    page->addSeparator();
    commandAction(page, QStringLiteral("整理书签"), Command::OrganiseBookmarks, "mnuOrgFav");
    page->addSeparator();
    commandAction(page, QStringLiteral("添加到书签"), Command::AddBookmark, "mnuAddFav");
    commandAction(page, QStringLiteral("添加到桌面"), Command::AddToDesktop, "mnuAddDkt");

    QMenu *priv = mnuMenu->addMenu(QStringLiteral("私人"));
    QAction *boss = commandAction(priv, QStringLiteral("SuperHide"), Command::BossKey, "mnuPrc0");
    QAction *lock = commandAction(priv, QStringLiteral("密码保护"), Command::Lock, "mnuPrc1");
    boss->setShortcut(QKeySequence(Qt::Key_F2));
    lock->setShortcut(QKeySequence(Qt::Key_F4));
    for (QAction *a : {boss, lock})
        a->setShortcutContext(Qt::WidgetShortcut);  // the key poll acts on F2 and F4
    priv->addSeparator();
    commandAction(priv, QStringLiteral("程序设置"), Command::Settings, "mnuPrc3");
    priv->addSeparator();
    commandAction(priv, QStringLiteral("皮肤..."), Command::Skins, "mnuPrc5");

    QMenu *help = mnuMenu->addMenu(QStringLiteral("帮助"));
    commandAction(help, QStringLiteral("检查更新"), Command::CheckUpdate, "mnuHc0");
    help->addSeparator();
    commandAction(help, QStringLiteral("关于..."), Command::About, "mnuHc2");

    mnuTabs = new QMenu(this);
    mnuTabs->setObjectName(QStringLiteral("mnuTabs"));
    commandAction(mnuTabs, QStringLiteral("关闭选项卡"), Command::CloseTab, "mnuTc0");
    commandAction(mnuTabs, QStringLiteral("新建选项卡"), Command::NewTab, "mnuTc1");
    mnuTabs->addSeparator();
    commandAction(mnuTabs, QStringLiteral("重新加载"), Command::Refresh, "mnuTc3");
    commandAction(mnuTabs, QStringLiteral("复制标签页"), Command::DuplicateTab, "mnuTc4");
    commandAction(mnuTabs, QStringLiteral("关闭其他标签页"), Command::CloseOtherTabs, "mnuTc5");
    commandAction(mnuTabs, QStringLiteral("关闭右侧标签页"), Command::CloseTabsToTheRight,
                  "mnuTc6");
    commandAction(mnuTabs, QStringLiteral("恢复关闭的标签页"), Command::ReopenClosedTab, "mnuTc7");
}

bool mdiBrowser::Execute(Command command, int percent) {
    Form1 *t = ActiveForm();
    WebView *v = t ? t->brwWebBrowser : nullptr;
    switch (command) {
        case Command::Back:
            return t && t->GoBack();
        case Command::Forward:
            return v && v->GoForward();
        case Command::Stop:
            if (v) v->Stop();
            break;
        case Command::Refresh:
            if (v) v->Refresh();
            break;
        case Command::Home:
            if (v) v->GoHome();
            break;
        case Command::Search:
            if (v) v->GoSearch();
            break;
        case Command::NavigationPage:
            if (t) {
                t->ToggleNavigationPage();
                ColourTab(t, true);
            }
            break;
        case Command::NewTab:
            OpenNewFrm();
            break;
        case Command::CloseTab:
            if (t) CloseTab(t);
            break;
        case Command::CloseAll:
            CloseAllTabs();
            break;
        case Command::Exit:
            close();
            break;
        case Command::ToggleStatusBar: {
            const bool on = picStaBar->isHidden();
            mnuDis[0]->setChecked(on);
            picStaBar->setVisible(on);
            settings::Write(settings::Key::StBar, on);
            break;
        }
        case Command::ToggleLoadProgress: {
            const bool on = !mnuDis[1]->isChecked();
            mnuDis[1]->setChecked(on);
            lblPro->setVisible(on && lblPro->width() != cboAddress->width());
            settings::Write(settings::Key::PrBar, on);
            break;
        }
        case Command::ToggleGestures: {
            const bool on = !mnuMouse->isChecked();
            mnuMouse->setChecked(on);
            lblMouse->setText(on ? QStringLiteral("鼠标手势") : QStringLiteral("关闭手势"));
            settings::Write(settings::Key::Mouse, on);
            if (on)
                InstallGestureHook();
            else
                RemoveGestureHook();
            break;
        }
        case Command::Print:
            if (v) v->Print(this);
            break;
        case Command::ZoomIn:
        case Command::ZoomOut:
        case Command::ZoomReset:
            if (t) {
                const int direction = command == Command::ZoomIn    ? 1
                                      : command == Command::ZoomOut ? -1
                                                                    : 0;
                setZoom(ZoomStep(CurrentZoom, direction));
            }
            break;
        case Command::Zoom:
            setZoom(percent);
            break;
        case Command::Downloads:
            ShowDownloadManager();
            break;
        case Command::OrganiseBookmarks:
            OrganiseBookmarks();
            break;
        case Command::Lock:
            if (t) t->setLocked(true);
            break;
        case Command::BossKey:
            Disguise();
            break;
        case Command::AddBookmark:
            if (t) {
                auto *d = windows_.get<frmAddFav>(OwnedWindow::AddBookmark);
                d->Fill(t->caption(), v->LocationURL());
                d->exec();
                windows_.discard(OwnedWindow::AddBookmark);
            }
            break;
        case Command::About:
            windows_.get<frmAbout>(OwnedWindow::About)->exec();
            windows_.discard(OwnedWindow::About);  // the next one starts from the first fade
            break;
        case Command::CheckUpdate:
            CheckForUpdateFromMenu();
            break;
        case Command::AddToDesktop:
            if (!t) return false;
            CreateDesktopShortcut(t->caption(), v->LocationURL());
            break;
        case Command::Settings:
            ShowSettings(true);
            break;
        case Command::ReloadFromServer:
        case Command::NextTab:
        case Command::PreviousTab:
        case Command::SelectTab:
        case Command::FocusAddress:
        case Command::ReopenClosedTab:
        case Command::DuplicateTab:
        case Command::CloseOtherTabs:
        case Command::CloseTabsToTheRight:
        case Command::FullScreen:
        case Command::SavePage:
        case Command::Find:
        case Command::FindNext:
        case Command::FindPrevious:
            return RunHabit(command, percent);
        case Command::Skins:
            ChooseSkin();
            break;
    }
    return t || !(command == Command::Stop || command == Command::Refresh ||
                  command == Command::Home || command == Command::Search ||
                  command == Command::CloseTab || command == Command::Print);
}
