#include "framemenus.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QSignalBlocker>
#include <algorithm>

#include "core/bookmarks.h"
#include "core/programfolder.h"
#include "statusstrip.h"
#include "tabset.h"
#include "tabstrip.h"
#include "toolbar.h"

namespace {

struct MenuPlace {
    CommandMenu parent;  // None: the menu button's pop-up
    const char *title;
    const char *objectName;
};

MenuPlace placeOf(CommandMenu m) {
    switch (m) {
        case CommandMenu::Manage:
            return {CommandMenu::None, "管理", "mnuM"};
        case CommandMenu::Display:
            return {CommandMenu::Manage, "显示", "mnuDis"};
        case CommandMenu::Browse:
            return {CommandMenu::None, "浏览", "mnuNc"};
        case CommandMenu::Page:
            return {CommandMenu::None, "页面", "mnuPc"};
        case CommandMenu::Zoom:
            return {CommandMenu::Page, "页面缩放", "mnuZ"};
        case CommandMenu::Private:
            return {CommandMenu::None, "私人", "mnuPrc"};
        case CommandMenu::Help:
            return {CommandMenu::None, "帮助", "mnuHc"};
        case CommandMenu::Bookmarks:
            return {CommandMenu::Manage, "书签", "mnuFav"};
        default:
            return {CommandMenu::None, "", ""};
    }
}

}  // namespace

FrameMenus::FrameMenus(QWidget *owner) : QObject(owner) {
    main_ = new QMenu(owner);
    main_->setObjectName(QStringLiteral("mnuMenu"));
    tabs_ = new QMenu(owner);
    tabs_->setObjectName(QStringLiteral("mnuTabs"));
    menus_[int(CommandMenu::Tabs)] = tabs_;
    // The top menus in their order, made before any item.
    for (CommandMenu m : {CommandMenu::Manage, CommandMenu::Browse, CommandMenu::Page,
                          CommandMenu::Private, CommandMenu::Help})
        menuFor(m);
    for (const CommandRow &row : CommandRows()) {
        if (row.menu == CommandMenu::None || !row.caption) continue;
        QMenu *menu = menuFor(row.menu);
        if (row.separatorBefore) {
            // A submenu's first item: the separator goes before the submenu in its parent.
            const bool first = menu->isEmpty() && placeOf(row.menu).parent != CommandMenu::None;
            if (first)
                menus_[int(placeOf(row.menu).parent)]->insertSeparator(menu->menuAction());
            else
                menu->addSeparator();
        }
        QAction *a = menu->addAction(QString::fromUtf8(row.caption));
        a->setObjectName(QLatin1String(row.objectName));
        a->setData(int(row.command));
        if (!row.keys.isEmpty() && row.pollKey) {
            a->setShortcut(row.keys.constFirst());
            a->setShortcutContext(Qt::WidgetShortcut);  // shown; the key poll acts on it
        }
        if (row.setting) {
            a->setCheckable(true);
            a->setChecked(true);
        }
        connect(a, &QAction::triggered, this, [this, a, command = row.command, value = row.value] {
            if (a->isCheckable()) {
                const QSignalBlocker quiet(a);
                a->setChecked(!a->isChecked());
            }
            emit Triggered(command, value);
        });
    }
    // After its own items, the bookmarks as they are on disk each time it opens.
    QMenu *bookmarks = menus_[int(CommandMenu::Bookmarks)];
    QAction *line = bookmarks->addSeparator();
    connect(bookmarks, &QMenu::aboutToShow, this, [this, bookmarks, line] {
        const QList<QAction *> all = bookmarks->actions();
        for (qsizetype i = all.indexOf(line) + 1; i < all.size(); ++i) {
            bookmarks->removeAction(all[i]);
            if (all[i]->menu()) all[i]->menu()->deleteLater();
            all[i]->deleteLater();
        }
        fillBookmarks(bookmarks, AppDir() + QStringLiteral("书签"));
    });
}

// One folder's entries, read when its menu opens: a submenu is filled only when it opens
// in turn, so a large tree costs what is shown. A folder longer than a menu can show ends
// in "更多…", which lists it in a tab.
void FrameMenus::fillBookmarks(QMenu *menu, const QString &folder) {
    const BookmarkListing listing = ListBookmarkFolder(folder, kMenuItems);
    for (const QString &name : listing.folders) {
        QMenu *sub = menu->addMenu(name);
        const QString path = folder + QLatin1Char('/') + name;
        connect(sub, &QMenu::aboutToShow, this, [this, sub, path] {
            if (sub->isEmpty()) fillBookmarks(sub, path);
        });
    }
    for (const QString &name : listing.files)
        connect(menu->addAction(name), &QAction::triggered, this,
                [this, path = folder + QLatin1Char('/') + name + QStringLiteral(".zvb")] {
                    const QString address = ReadBookmarkFile(path);
                    if (address.isEmpty()) return;
                    emit BookmarkChosen(address,
                                        QGuiApplication::keyboardModifiers() & Qt::ControlModifier);
                });
    if (listing.entries > kMenuItems)
        connect(menu->addAction(QStringLiteral("更多…")), &QAction::triggered, this,
                [this, folder] { emit FolderChosen(folder + QLatin1Char('/')); });
    if (menu->isEmpty() || menu->actions().last()->isSeparator())
        menu->addAction(QStringLiteral("（空）"))->setEnabled(false);
}

QMenu *FrameMenus::menuFor(CommandMenu which) {
    QMenu *&menu = menus_[int(which)];
    if (menu) return menu;
    const MenuPlace place = placeOf(which);
    QMenu *parent = place.parent == CommandMenu::None ? main_ : menuFor(place.parent);
    menu = parent->addMenu(QString::fromUtf8(place.title));
    menu->setObjectName(QLatin1String(place.objectName));
    return menu;
}

QAction *FrameMenus::actionOf(Command command) const {
    for (QAction *a : main_->findChildren<QAction *>())
        if (a->data().isValid() && a->data().toInt() == int(command)) return a;
    return nullptr;
}

void FrameMenus::setChecked(Command command, bool on) {
    if (QAction *a = actionOf(command)) a->setChecked(on);
}

bool FrameMenus::isChecked(Command command) const {
    const QAction *a = actionOf(command);
    return a && a->isChecked();
}

void FrameMenus::setEnabled(Command command, bool on) {
    for (QMenu *root : {main_, tabs_})
        for (QAction *a : root->findChildren<QAction *>())
            if (a->data().isValid() && a->data().toInt() == int(command)) a->setEnabled(on);
}

void FrameMenus::popUpFrom(ToolBar *toolbar, StatusStrip *status, TabSet *tabs) {
    connect(toolbar, &ToolBar::MenuButtonClicked, this, &FrameMenus::popupMain);
    connect(toolbar, &ToolBar::MenuRequested, this, &FrameMenus::popupManage);
    connect(status, &StatusStrip::MenuRequested, this, &FrameMenus::popupManage);
    connect(tabs->strip(), &TabStrip::MenuRequested, this, [this, tabs](QPoint at, bool tabMenu) {
        if (tabMenu)
            popupTabs(at, tabs->count() > 0);
        else
            popupManage(at);
    });
}

void FrameMenus::popupMain(const QPoint &global) {
    main_->popup(global);
}

void FrameMenus::popupManage(const QPoint &global) {
    menus_[int(CommandMenu::Manage)]->popup(global);
}

void FrameMenus::popupTabs(const QPoint &global, bool hasTabs) {
    tabs_->actions().constFirst()->setEnabled(hasTabs);
    tabs_->popup(global);
}
