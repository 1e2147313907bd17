#include "commands.h"

namespace {

using C = Command;
using M = CommandMenu;
using K = settings::Key;
using G = gesture::Fixed;

QKeySequence key(int k) {
    return QKeySequence(k);
}

CommandRow row(C c) {
    CommandRow r{};
    r.command = c;
    return r;
}

CommandRow item(C c, M menu, const char *caption, const char *name, bool separator = false) {
    CommandRow r = row(c);
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

CommandRow &&checked(CommandRow &&r, K setting) {
    r.setting = setting;
    return std::move(r);
}

QList<CommandRow> build() {
    const int ctrl = Qt::CTRL, shift = Qt::SHIFT, alt = Qt::ALT;
    QList<CommandRow> rows{
        // 管理
        withKeys(item(C::NewTab, M::Manage, "开始新的浏览...", "mnuNew"), {key(ctrl | Qt::Key_T)}),
        checked(item(C::ToggleStatusBar, M::Display, "状态栏", "mnuDis0", true), K::StBar),
        checked(item(C::ToggleLoadProgress, M::Display, "载入进度", "mnuDis1"), K::PrBar),
        item(C::CloseAll, M::Manage, "关闭所有页面", "mnuClAl", true),
        needingTab(withKeys(item(C::CloseTab, M::Manage, "关闭当前页", "mnuClNw"),
                            {key(ctrl | Qt::Key_W), key(ctrl | Qt::Key_F4)}),
                   G::CloseTab),
        checked(item(C::ToggleGestures, M::Manage, "开启鼠标手势", "mnuMouse"), K::Mouse),
        item(C::Exit, M::Manage, "退出", "mnuEnd", true),
        withKeys(item(C::History, M::Manage, "历史记录", "mnuHistory", true),
                 {key(ctrl | Qt::Key_H)}),
        item(C::RestoreSession, M::Manage, "恢复上次的选项卡", "mnuRestore"),
        // 浏览
        needingTab(
            withKeys(item(C::Forward, M::Browse, "前进", "mnuNc0"), {key(alt | Qt::Key_Right)}),
            G::Forward),
        needingTab(withKeys(item(C::Back, M::Browse, "后退", "mnuNc1"), {key(alt | Qt::Key_Left)}),
                   G::Back),
        needingTab(item(C::Stop, M::Browse, "停止", "mnuNc3", true)),
        needingTab(withKeys(item(C::Refresh, M::Browse, "刷新", "mnuNc4"),
                            {key(Qt::Key_F5), key(ctrl | Qt::Key_R)})),
        needingTab(item(C::Home, M::Browse, "主页", "mnuNc6", true), G::Home),
        needingTab(item(C::Search, M::Browse, "搜索", "mnuNc7"), G::Search),
        // 页面
        needingTab(
            withKeys(item(C::Print, M::Page, "打印当前页...", "mnuPc0"), {key(ctrl | Qt::Key_P)})),
    };
    // 页面缩放: 400% down to 50%.
    static const char *const zoomNames[8] = {"mnuZ0", "mnuZ1", "mnuZ2", "mnuZ3",
                                             "mnuZ4", "mnuZ5", "mnuZ6", "mnuZ7"};
    static const char *const zoomCaptions[8] = {"400%", "350%", "300%", "250%",
                                                "200%", "150%", "100%", "50%"};
    for (int i = 0; i < 8; ++i) {
        // Without a tab the label, CurrentZoom and "Zoom" still change: the next pages take it.
        CommandRow r = item(C::Zoom, M::Zoom, zoomCaptions[i], zoomNames[i]);
        r.value = (8 - i) * 50;
        rows << r;
    }
    rows << item(C::Downloads, M::Page, "启动下载管理器", "mnuDM", true)
         << item(C::OrganiseBookmarks, M::Page, "整理书签", "mnuOrgFav", true)
         << needingTab(withKeys(item(C::AddBookmark, M::Page, "添加到书签", "mnuAddFav", true),
                                {key(ctrl | Qt::Key_D)}))
         << needingTab(item(C::AddToDesktop, M::Page, "添加到桌面", "mnuAddDkt"));
    // 私人: F2 and F4 are the key poll's.
    CommandRow boss =
        withKeys(item(C::BossKey, M::Private, "SuperHide", "mnuPrc0"), {key(Qt::Key_F2)});
    CommandRow lock =
        needingTab(withKeys(item(C::Lock, M::Private, "密码保护", "mnuPrc1"), {key(Qt::Key_F4)}));
    boss.pollKey = lock.pollKey = true;
    rows << boss << lock << item(C::Settings, M::Private, "程序设置", "mnuPrc3", true)
         << item(C::Skins, M::Private, "皮肤...", "mnuPrc5", true);
    // 帮助
    rows << item(C::CheckUpdate, M::Help, "检查更新", "mnuHc0")
         << item(C::About, M::Help, "关于...", "mnuHc2", true);
    // The tab strip's menu.
    rows << needingTab(item(C::CloseTab, M::Tabs, "关闭选项卡", "mnuTc0"))
         << item(C::NewTab, M::Tabs, "新建选项卡", "mnuTc1")
         << needingTab(item(C::Refresh, M::Tabs, "重新加载", "mnuTc3", true))
         << needingTab(item(C::DuplicateTab, M::Tabs, "复制选项卡", "mnuTc4"))
         << needingTab(item(C::CloseOtherTabs, M::Tabs, "关闭其他选项卡", "mnuTc5"))
         << needingTab(item(C::CloseTabsToTheRight, M::Tabs, "关闭右侧选项卡", "mnuTc6"))
         << withKeys(item(C::ReopenClosedTab, M::Tabs, "恢复关闭的选项卡", "mnuTc7"),
                     {key(ctrl | shift | Qt::Key_T)});
    // Keys and gestures only.
    auto only = [](C c, QList<QKeySequence> keys, bool tab = false) {
        CommandRow r = row(c);
        r.keys = std::move(keys);
        r.needsTab = tab;
        return r;
    };
    rows << only(C::FocusAddress, {key(ctrl | Qt::Key_L), key(alt | Qt::Key_D), key(Qt::Key_F6)})
         << only(C::NextTab, {key(ctrl | Qt::Key_Tab), key(ctrl | Qt::Key_PageDown)})
         << only(C::PreviousTab, {key(ctrl | shift | Qt::Key_Backtab),
                                  key(ctrl | shift | Qt::Key_Tab), key(ctrl | Qt::Key_PageUp)})
         << only(C::ReloadFromServer, {key(ctrl | Qt::Key_F5), key(shift | Qt::Key_F5)}, true)
         << only(C::ZoomIn,
                 {key(ctrl | Qt::Key_Plus), key(ctrl | Qt::Key_Equal),
                  key(ctrl | shift | Qt::Key_Plus)},
                 true)
         << only(C::ZoomOut, {key(ctrl | Qt::Key_Minus)}, true)
         << only(C::ZoomReset, {key(ctrl | Qt::Key_0)}, true)
         << only(C::FullScreen, {key(Qt::Key_F11)})
         << only(C::SavePage, {key(ctrl | Qt::Key_S)}, true)
         << only(C::Find, {key(ctrl | Qt::Key_F)}, true)
         << only(C::FindNext, {key(Qt::Key_F3)}, true)
         << only(C::FindPrevious, {key(shift | Qt::Key_F3)}, true)
         << only(C::NavigationPage, {}, true);
    for (int n = 1; n <= 9; ++n) {
        CommandRow r = only(C::SelectTab, {key(ctrl | (Qt::Key_0 + n))});
        r.value = n;
        rows << r;
    }
    // A locked tab gives nothing of its page away.
    for (CommandRow &r : rows)
        if (r.command == C::Print || r.command == C::SavePage || r.command == C::Find ||
            r.command == C::FindNext || r.command == C::FindPrevious ||
            r.command == C::AddBookmark || r.command == C::AddToDesktop)
            r.hiddenByLock = true;
    // The fixed gesture that opens a tab.
    for (CommandRow &r : rows)
        if (r.command == C::NewTab && r.menu == M::Manage) r.gesture = G::NewTab;
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
