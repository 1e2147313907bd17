// The habits of other browsers that users' hands bring along: the key table, the tab
// strip's extra commands, closed tabs coming back, find in page, full screen, tab icons,
// and the history buttons greyed out with nowhere to go.
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QLineEdit>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <cstdio>

#include "chromewidgets.h"
#include "core/downloadnames.h"
#include "core/textfiles.h"
#include "services/savedialog.h"
#include "findbar.h"
#include "keybindings.h"
#include "mdibrowser.h"
#include "pagehabits.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/webview.h"
#include "tab/form1.h"
#include "tab/navpage.h"

namespace {
constexpr int kClosedTabsKept = 10;
}  // namespace

void mdiBrowser::installHabits() {
    for (const KeyBinding &b : KeyBindings()) {
        auto *shortcut = new QShortcut(b.keys, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, command = b.command, value = b.value] { Execute(command, value); });
    }
    PageHabits::Hooks hooks;
    hooks.inPage = [this](QObject *target) {
        Form1 *t = ActiveForm();
        auto *w = qobject_cast<QWidget *>(target);
        return t && w && t->brwWebBrowser->widget()->isAncestorOf(w);
    };
    hooks.escape = [this] {
        if (pageFullScreen_) {
            if (Form1 *t = ActiveForm()) t->brwWebBrowser->ExitFullScreen();
            return true;
        }
        if (Form1 *t = ActiveForm(); t && t->brwWebBrowser->IsLoading()) Execute(Command::Stop);
        return false;  // the page hears it too
    };
    hooks.history = [this](bool forward) { Execute(forward ? Command::Forward : Command::Back); };
    hooks.zoom = [this](bool in) { Execute(in ? Command::ZoomIn : Command::ZoomOut); };
    habits_ = std::make_unique<PageHabits>(hooks);
    qApp->installEventFilter(habits_.get());
}

// Nobody sees the find bar before the first Ctrl+F: it is not made before then.
FindBar *mdiBrowser::findBar() {
    if (picFind) return picFind;
    picFind = new FindBar(centralWidget());
    auto *column = static_cast<QBoxLayout *>(centralWidget()->layout());
    column->insertWidget(column->indexOf(picStaBar), picFind);
    picFind->setColours(findColours_[0], findColours_[1]);
    connect(picFind, &FindBar::FindRequested, this,
            [this](const QString &text, bool backward, bool matchCase) {
                if (Form1 *t = ActiveForm()) t->brwWebBrowser->Find(text, backward, matchCase);
            });
    connect(picFind, &FindBar::Closed, this, [this] {
        if (Form1 *t = ActiveForm()) {
            t->brwWebBrowser->Find(QString(), false, false);
            t->brwWebBrowser->widget()->setFocus();
        }
    });
    return picFind;
}

void mdiBrowser::connectHabits(Form1 *t) {
    connect(t, &Form1::IconChanged, this, [this, t](const QIcon &icon) { showTabIcon(t, icon); });
    connect(t, &Form1::HistoryChanged, this, [this, t] {
        if (t == ActiveForm()) updateHistoryButtons();
    });
    connect(t, &Form1::FindResult, this, [this, t](int active, int total) {
        if (t != ActiveForm() || !picFind) return;
        picFind->showResult(active, total);
        if (!qEnvironmentVariableIsEmpty("OLUMETTA_DEBUG"))
            std::fprintf(stderr, "olumetta: found %d of %d\n", active, total);
    });
    connect(t, &Form1::FullScreenRequested, this, [this, t](bool on) {
        if (t == ActiveForm() || !on) setPageFullScreen(on);
    });
}

// The page's icon, or the plain page icon while it loads or when it has none.
void mdiBrowser::showTabIcon(Form1 *t, const QIcon &icon) {
    const int index = children_->indexOf(t);
    if (index < 0) return;
    MDITabs->setTabIcon(index, icon.isNull() ? blankPageIcon_ : icon);
}

void mdiBrowser::updateHistoryButtons() {
    Form1 *t = ActiveForm();
    const bool back = t && (!t->picNav->isHidden() || t->brwWebBrowser->CanGoBack());
    const bool forward = t && t->brwWebBrowser->CanGoForward();
    picTBtn[0]->setEnabled(back);
    picTBtn[1]->setEnabled(forward);
    if (QAction *a = findChild<QAction *>(QStringLiteral("mnuNc1"))) a->setEnabled(back);
    if (QAction *a = findChild<QAction *>(QStringLiteral("mnuNc0"))) a->setEnabled(forward);
}

void mdiBrowser::updateWindowTitle() {
    Form1 *t = ActiveForm();
    const QString page = t ? WithoutBidiControls(t->caption()) : QString();
    setWindowTitle(page.isEmpty() ? QStringLiteral("Orvex Lumetta")
                                  : page + QStringLiteral(" - Orvex Lumetta"));
}

void mdiBrowser::rememberClosedTab(Form1 *t) {
    const QString url = t->brwWebBrowser->LocationURL();
    if (url.isEmpty()) return;
    closedTabs_.append({url, t->brwWebBrowser->SavedHistory()});
    while (closedTabs_.size() > kClosedTabsKept) closedTabs_.removeFirst();
}

// A tab with the given history (its address when the history cannot be restored).
void mdiBrowser::openTabWithHistory(const QString &url, const QByteArray &history) {
    Form1 *t = CreateTab();
    ColourTab(t, true);
    if (history.isEmpty())
        t->brwWebBrowser->Navigate(url);
    else
        t->brwWebBrowser->RestoreHistory(history);
    ShowTab(t);
}

void mdiBrowser::setPageFullScreen(bool on) {
    if (on == pageFullScreen_) return;
    pageFullScreen_ = on;
    for (QWidget *w : {picToolBar, static_cast<QWidget *>(MDITabs), picStaBar})
        w->setVisible(!on && (w != picStaBar || mnuDis[0]->isChecked()));
    if (on) {
        if (picFind) picFind->hide();
        stateBeforeFullScreen_ = windowState();
        showFullScreen();
    } else {
        setWindowState(stateBeforeFullScreen_);
    }
}

bool mdiBrowser::RunHabit(Command command, int value) {
    Form1 *t = ActiveForm();
    WebView *v = t ? t->brwWebBrowser : nullptr;
    const int count = MDITabs->count(), current = MDITabs->currentIndex();
    switch (command) {
        case Command::ReloadFromServer:
            if (!v) return false;
            v->RefreshFromServer();
            return true;
        case Command::NextTab:
        case Command::PreviousTab:
            if (count < 2) return false;
            MDITabs->setCurrentIndex((current + (command == Command::NextTab ? 1 : count - 1)) %
                                     count);
            return true;
        case Command::SelectTab: {
            const int index = value >= 9 ? count - 1 : value - 1;
            if (index < 0 || index >= count) return false;
            MDITabs->setCurrentIndex(index);
            return true;
        }
        case Command::FocusAddress:
            activateWindow();
            cboAddress->setFocus(Qt::ShortcutFocusReason);
            cboAddress->lineEdit()->selectAll();
            return true;
        case Command::ReopenClosedTab: {
            if (closedTabs_.isEmpty()) return false;
            const ClosedTab closed = closedTabs_.takeLast();
            openTabWithHistory(closed.url, closed.history);
            return true;
        }
        case Command::DuplicateTab:
            if (!v) return false;
            openTabWithHistory(v->LocationURL(), v->SavedHistory());
            return true;
        case Command::CloseOtherTabs:
        case Command::CloseTabsToTheRight: {
            if (!t) return false;
            const QList<Form1 *> all = tabs();
            for (int i = all.size() - 1; i >= 0; --i)
                if (all[i] != t && (command == Command::CloseOtherTabs || i > current))
                    CloseTab(all[i]);
            return true;
        }
        case Command::FullScreen:
            if (pageFullScreen_) {
                if (v) v->ExitFullScreen();
            } else if (isFullScreen()) {
                setWindowState(stateBeforeFullScreen_);
            } else {
                stateBeforeFullScreen_ = windowState();
                showFullScreen();
            }
            return true;
        case Command::SavePage: {
            if (!v || v->LocationURL().isEmpty()) return false;
            const QString name = SafeFileName(t->caption()).isEmpty() ? QStringLiteral("网页")
                                                                      : SafeFileName(t->caption());
            const QString path =
                AskDownloadPath(platform_.dialogs(), this, name + QStringLiteral(".mhtml"));
            if (path.isEmpty()) return false;
            v->SavePage(path);
            return true;
        }
        case Command::Find:
            if (!t) return false;
            findBar()->open();
            return true;
        case Command::FindNext:
        case Command::FindPrevious: {
            if (!t) return false;
            FindBar *bar = findBar();
            if (bar->isHidden()) bar->open();
            if (!bar->text().isEmpty())
                v->Find(bar->text(), command == Command::FindPrevious, bar->matchCase());
            return true;
        }
        default:
            return false;
    }
}
