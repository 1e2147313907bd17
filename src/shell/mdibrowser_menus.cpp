// The frame's menu tree: the menu button's pop-up and the tab strip's.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <cmath>

#include "core/config.h"
#include "core/settings.h"
#include "mdibrowser.h"
#include "platform/webview.h"
#include "tab/form1.h"
#include "tab/navpage.h"

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
    // Only the user's choice writes: start-up sets the marks from the settings it reads.
    connect(mnuDis[0], &QAction::triggered, this, [this](bool on) {
        picStaBar->setVisible(on);
        settings::Write(settings::Key::StBar, on);
    });
    connect(mnuDis[1], &QAction::triggered, this, [this](bool on) {
        lblPro->setVisible(on && lblPro->width() != cboAddress->width());
        settings::Write(settings::Key::PrBar, on);
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
                    t->GoBack();
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
    mnuDM =
        page->addAction(QStringLiteral("启动下载管理器"), this, &mdiBrowser::ShowDownloadManager);
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
    mnuHc[0] =
        help->addAction(QStringLiteral("检查更新"), this, &mdiBrowser::CheckForUpdateFromMenu);
    mnuHc[1] = help->addSeparator();
    mnuHc[2] = later(help->addAction(QStringLiteral("关于...")));

    mnuTabs = new QMenu(this);
    mnuTabs->addAction(QStringLiteral("关闭选项卡"), this, &mdiBrowser::CloseActiveTab);
    mnuTabs->addAction(QStringLiteral("新建选项卡"), this, &mdiBrowser::OpenNewFrm);
}
