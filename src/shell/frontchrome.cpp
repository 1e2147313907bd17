#include "frontchrome.h"

#include <QWidget>

#include "addressbox.h"
#include "core/textfiles.h"
#include "framemenus.h"
#include "statusstrip.h"
#include "tab/form1.h"
#include "tabset.h"
#include "toolbar.h"

FrontChrome::FrontChrome(TabSet *tabs, Parts parts, QWidget *frame)
    : QObject(frame), tabs_(tabs), p_(parts), frame_(frame) {
    connect(tabs, &TabSet::ActiveChanged, this, &FrontChrome::frontChanged);
    connect(tabs, &TabSet::ActiveStatus, p_.status, &StatusStrip::setStatus);
    connect(tabs, &TabSet::ActiveProgress, p_.toolbar, &ToolBar::showProgress);
    connect(tabs, &TabSet::ActiveTitleChanged, this, &FrontChrome::updateTitle);
    connect(tabs, &TabSet::ActiveHistoryChanged, this, &FrontChrome::updateHistoryButtons);
    connect(tabs, &TabSet::ActiveSecurityChanged, this, [this] { showMarks(tabs_->active()); });
    // Every tab's addresses join the list; the box and the stop/refresh button follow the
    // tab in front only.
    connect(tabs, &TabSet::AddressReached, this,
            [this](const QString &url, bool front, bool listed) {
                p_.address->append(url, front, listed);
                if (front) p_.toolbar->showStopButton();
            });
    connect(tabs, &TabSet::PageLoaded, this, [this](const QString &, bool front) {
        if (!front) return;
        p_.toolbar->showRefreshButton();
        p_.toolbar->hideProgress();
        // What loaded, even where no new address was announced (a crashed page reloaded).
        if (const QString url = tabs_->active()->url(); !url.isEmpty())
            p_.address->append(url, true, tabs_->active()->listsPage());
    });
    connect(tabs, &TabSet::LockChanged, this, [this](Form1 *t) {
        if (t == tabs_->active() && t->isLocked()) t->takeKeyboard();  // the password next
    });
    connect(tabs, &TabSet::Closing, this, [this] {
        p_.toolbar->hideProgress();
        p_.status->setStatus(QString());
    });
}

void FrontChrome::frontChanged(Form1 *t) {
    showMarks(t);
    p_.address->showAddress(t ? t->url() : QString(), !t);
    if (t && t->isLoading())
        p_.toolbar->showStopButton();
    else
        p_.toolbar->showRefreshButton();
    p_.status->setStatus(QString());
    p_.toolbar->hideProgress();
    updateHistoryButtons();
    updateTitle();
}

void FrontChrome::showMarks(Form1 *t) {
    p_.address->setMarks(t && t->isPrivate(), t && t->insecure());
}

void FrontChrome::showAddress() {
    Form1 *t = tabs_->active();
    p_.address->showAddress(t ? t->url() : QString(), true);
}

void FrontChrome::updateHistoryButtons() {
    Form1 *t = tabs_->active();
    const bool back = t && (t->navigationShown() || t->canGoBack());
    const bool forward = t && t->canGoForward();
    p_.toolbar->setHistoryEnabled(back, forward);
    p_.menus->setEnabled(Command::Back, back);
    p_.menus->setEnabled(Command::Forward, forward);
}

void FrontChrome::updateTitle() {
    Form1 *t = tabs_->active();
    const QString page = t ? WithoutBidiControls(t->caption()) : QString();
    frame_->setWindowTitle(page.isEmpty() ? QStringLiteral("Orvex Lumetta")
                                          : page + QStringLiteral(" - Orvex Lumetta"));
}
