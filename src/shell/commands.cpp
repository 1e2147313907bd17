#include "commands.h"

namespace {

using C = Command;
using H = Handler;
using M = CommandMenu;
using K = settings::Key;
using G = gesture::Fixed;

QKeySequence key(int k) {
    return QKeySequence(k);
}

CommandRow row(C c, H handler) {
    CommandRow r{};
    r.command = c;
    r.handler = handler;
    return r;
}

CommandRow item(C c, H handler, M menu, const char *caption, const char *name,
                bool separator = false) {
    CommandRow r = row(c, handler);
    r.menu = menu;
    r.caption = caption;
    r.objectName = name;
    r.separatorBefore = separator;
    return r;
}

CommandRow &&withKeys(CommandRow &&r, QList<QKeySequence> keys) {
    r.keys = std::move(keys);
    return std::move(r);
}

CommandRow &&needingTab(CommandRow &&r, G g = G::None) {
    r.needsTab = true;
    r.gesture = g;
    return std::move(r);
}

// What a locked tab's page would give away.
CommandRow &&hiddenByLock(CommandRow &&r) {
    r.hiddenByLock = true;
    return needingTab(std::move(r));
}

CommandRow &&checked(CommandRow &&r, K setting) {
    r.setting = setting;
    return std::move(r);
}

QList<CommandRow> build() {
    const int ctrl = Qt::CTRL, shift = Qt::SHIFT, alt = Qt::ALT;
    CommandRow newTab = withKeys(item(C::NewTab, H::Frame, M::Manage, "开始新的浏览...", "mnuNew"),
                                 {key(ctrl | Qt::Key_T)});
    newTab.gesture = G::NewTab;
    QList<CommandRow> rows{
        // 管理
        newTab,
        withKeys(item(C::NewPrivateTab, H::Frame, M::Manage, "新建无痕选项卡", "mnuNewPrivate"),
                 {key(ctrl | shift | Qt::Key_N)}),
        checked(item(C::ToggleStatusBar, H::Toggles, M::Display, "状态栏", "mnuDis0", true),
                K::StBar),
        checked(item(C::ToggleLoadProgress, H::Toggles, M::Display, "载入进度", "mnuDis1"),
                K::PrBar),
        item(C::CloseAll, H::Frame, M::Manage, "关闭所有页面", "mnuClAl", true),
        needingTab(withKeys(item(C::CloseTab, H::Tabs, M::Manage, "关闭当前页", "mnuClNw"),
                            {key(ctrl | Qt::Key_W), key(ctrl | Qt::Key_F4)}),
                   G::CloseTab),
        checked(item(C::ToggleGestures, H::Toggles, M::Manage, "开启鼠标手势", "mnuMouse"),
                K::Mouse),
        item(C::Exit, H::Frame, M::Manage, "退出", "mnuEnd", true),
        withKeys(item(C::History, H::Windows, M::Manage, "历史记录", "mnuHistory", true),
                 {key(ctrl | Qt::Key_H)}),
        item(C::RestoreSession, H::Frame, M::Manage, "恢复上次的选项卡", "mnuRestore"),
        // 浏览
        needingTab(withKeys(item(C::Forward, H::Tab, M::Browse, "前进", "mnuNc0"),
                            {key(alt | Qt::Key_Right)}),
                   G::Forward),
        needingTab(
            withKeys(item(C::Back, H::Tab, M::Browse, "后退", "mnuNc1"), {key(alt | Qt::Key_Left)}),
            G::Back),
        needingTab(item(C::Stop, H::Tab, M::Browse, "停止", "mnuNc3", true)),
        needingTab(withKeys(item(C::Refresh, H::Tab, M::Browse, "刷新", "mnuNc4"),
                            {key(Qt::Key_F5), key(ctrl | Qt::Key_R)})),
        needingTab(item(C::Home, H::Tab, M::Browse, "主页", "mnuNc6", true), G::Home),
        needingTab(item(C::Search, H::Tab, M::Browse, "搜索", "mnuNc7"), G::Search),
        // 页面
        hiddenByLock(withKeys(item(C::Print, H::Tab, M::Page, "打印当前页...", "mnuPc0"),
                              {key(ctrl | Qt::Key_P)})),
    };
    // 页面缩放: 400% down to 50%.
    static const char *const zoomNames[8] = {"mnuZ0", "mnuZ1", "mnuZ2", "mnuZ3",
                                             "mnuZ4", "mnuZ5", "mnuZ6", "mnuZ7"};
    static const char *const zoomCaptions[8] = {"400%", "350%", "300%", "250%",
                                                "200%", "150%", "100%", "50%"};
    for (int i = 0; i < 8; ++i) {
        CommandRow r = item(C::Zoom, H::Zoom, M::Zoom, zoomCaptions[i], zoomNames[i]);
        r.value = (8 - i) * 50;
        rows << r;
    }
    rows << item(C::Downloads, H::Windows, M::Page, "启动下载管理器", "mnuDM", true)
         << item(C::OrganiseBookmarks, H::Frame, M::Page, "整理书签", "mnuOrgFav", true)
         << hiddenByLock(
                withKeys(item(C::AddBookmark, H::Frame, M::Page, "添加到书签", "mnuAddFav", true),
                         {key(ctrl | Qt::Key_D)}))
         << hiddenByLock(item(C::AddToDesktop, H::Frame, M::Page, "添加到桌面", "mnuAddDkt"));
    // 私人: F2 and F4 are the key poll's.
    CommandRow boss =
        withKeys(item(C::BossKey, H::Frame, M::Private, "SuperHide", "mnuPrc0"), {key(Qt::Key_F2)});
    CommandRow lock = needingTab(
        withKeys(item(C::Lock, H::Tab, M::Private, "密码保护", "mnuPrc1"), {key(Qt::Key_F4)}));
    boss.pollKey = lock.pollKey = true;
    rows << boss << lock << item(C::Settings, H::Windows, M::Private, "程序设置", "mnuPrc3", true)
         << item(C::Skins, H::Windows, M::Private, "皮肤...", "mnuPrc5", true);
    // 帮助
    rows << item(C::CheckUpdate, H::Windows, M::Help, "检查更新", "mnuHc0")
         << item(C::About, H::Windows, M::Help, "关于...", "mnuHc2", true);
    // The tab strip's menu.
    rows << needingTab(item(C::CloseTab, H::Tabs, M::Tabs, "关闭选项卡", "mnuTc0"))
         << item(C::NewTab, H::Frame, M::Tabs, "新建选项卡", "mnuTc1")
         << item(C::NewPrivateTab, H::Frame, M::Tabs, "新建无痕选项卡", "mnuTc2")
         << needingTab(item(C::Refresh, H::Tab, M::Tabs, "重新加载", "mnuTc3", true))
         << needingTab(item(C::DuplicateTab, H::Tabs, M::Tabs, "复制选项卡", "mnuTc4"))
         << needingTab(item(C::CloseOtherTabs, H::Tabs, M::Tabs, "关闭其他选项卡", "mnuTc5"))
         << needingTab(item(C::CloseTabsToTheRight, H::Tabs, M::Tabs, "关闭右侧选项卡", "mnuTc6"))
         << withKeys(item(C::ReopenClosedTab, H::Tabs, M::Tabs, "恢复关闭的选项卡", "mnuTc7"),
                     {key(ctrl | shift | Qt::Key_T)});
    // 管理 ends with 书签.
    rows << item(C::ImportData, H::Windows, M::Bookmarks, "导入书签和历史记录…", "mnuImport", true)
         << item(C::ExportBookmarks, H::Windows, M::Bookmarks, "导出书签…", "mnuExport");
    // Keys and gestures only.
    auto only = [](C c, H handler, QList<QKeySequence> keys, bool tab = false) {
        CommandRow r = row(c, handler);
        r.keys = std::move(keys);
        r.needsTab = tab;
        return r;
    };
    rows << only(C::FocusAddress, H::Frame,
                 {key(ctrl | Qt::Key_L), key(alt | Qt::Key_D), key(Qt::Key_F6)})
         << only(C::NextTab, H::Tabs, {key(ctrl | Qt::Key_Tab), key(ctrl | Qt::Key_PageDown)})
         << only(C::PreviousTab, H::Tabs,
                 {key(ctrl | shift | Qt::Key_Backtab), key(ctrl | shift | Qt::Key_Tab),
                  key(ctrl | Qt::Key_PageUp)})
         << only(C::ReloadFromServer, H::Tab, {key(ctrl | Qt::Key_F5), key(shift | Qt::Key_F5)},
                 true)
         << only(C::ZoomIn, H::Zoom,
                 {key(ctrl | Qt::Key_Plus), key(ctrl | Qt::Key_Equal),
                  key(ctrl | shift | Qt::Key_Plus)},
                 true)
         << only(C::ZoomOut, H::Zoom, {key(ctrl | Qt::Key_Minus)}, true)
         << only(C::ZoomReset, H::Zoom, {key(ctrl | Qt::Key_0)}, true)
         << only(C::FullScreen, H::Frame, {key(Qt::Key_F11)})
         << hiddenByLock(only(C::SavePage, H::Tab, {key(ctrl | Qt::Key_S)}))
         << hiddenByLock(only(C::Find, H::Find, {key(ctrl | Qt::Key_F)}))
         << hiddenByLock(only(C::FindNext, H::Find, {key(Qt::Key_F3)}))
         << hiddenByLock(only(C::FindPrevious, H::Find, {key(shift | Qt::Key_F3)}))
         << only(C::NavigationPage, H::Tab, {}, true);
    for (int n = 1; n <= 9; ++n) {
        CommandRow r = only(C::SelectTab, H::Tabs, {key(ctrl | (Qt::Key_0 + n))});
        r.value = n;
        rows << r;
    }
    return rows;
}

}  // namespace

const QList<CommandRow> &CommandRows() {
    static const QList<CommandRow> rows = build();
    return rows;
}

const CommandRow &RowOf(Command command) {
    for (const CommandRow &r : CommandRows())
        if (r.command == command) return r;
    static const CommandRow none{};
    return none;
}

const CommandRow *RowOfGesture(gesture::Fixed fixed) {
    if (fixed == gesture::Fixed::None) return nullptr;
    for (const CommandRow &r : CommandRows())
        if (r.gesture == fixed) return &r;
    return nullptr;
}
