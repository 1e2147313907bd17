#pragma once
// The frame's menus, built from the command rows: the menu button's pop-up ("管理", "浏览",
// "页面", "私人", "帮助") and the tab strip's. An item asks for its command; a check mark
// is the command's to set, whoever gives it. "管理" ends with "书签": its import and export, then
// the bookmark folder's files by name and its folders as submenus, read each time it opens.
#include <QObject>
#include <QPoint>

#include "commands.h"

class QAction;
class QMenu;
class StatusStrip;
class TabSet;
class ToolBar;
class QWidget;

class FrameMenus : public QObject {
    Q_OBJECT
  public:
    explicit FrameMenus(QWidget *owner);

    void setChecked(Command command, bool on);
    bool isChecked(Command command) const;
    void setEnabled(Command command, bool on);  // every item of the command

    // Where the menus pop up: the toolbar's menu button and its right click, the status
    // strip's, the tab strip's (a tab's menu over a tab or with none).
    void popUpFrom(ToolBar *toolbar, StatusStrip *status, TabSet *tabs);
    void popupMain(const QPoint &global);
    void popupManage(const QPoint &global);
    // With no tab, only "新建选项卡" and "恢复关闭的选项卡" can act.
    void popupTabs(const QPoint &global, bool hasTabs);

  signals:
    void Triggered(Command command, int value);
    // The address of a bookmark chosen in "书签"; newTab: with Ctrl held.
    void BookmarkChosen(const QString &address, bool newTab);
    void FolderChosen(const QString &folder);  // too long for its menu: listed in a tab

  private:
    QMenu *menuFor(CommandMenu which);
    void fillBookmarks(QMenu *menu, const QString &folder);
    static constexpr int kMenuItems = 300;  // a menu taller than this helps nobody
    QAction *actionOf(Command command) const;
    QMenu *main_, *tabs_;
    QMenu *menus_[int(CommandMenu::Tabs) + 1] = {};
};
