#include "findcontrol.h"

#include <QBoxLayout>
#include <cstdio>

#include "findbar.h"
#include "platform/webview.h"
#include "tab/form1.h"
#include "tabset.h"

FindControl::FindControl(QBoxLayout *column, QWidget *before, TabSet *tabs)
    : QObject(before), column_(column), before_(before), tabs_(tabs) {
    connect(tabs, &TabSet::ActiveFindResult, this, &FindControl::showResult);
    connect(tabs, &TabSet::ActiveChanged, this, [this](Form1 *t) {
        if (t) followTab();
    });
    connect(tabs, &TabSet::LockChanged, this, [this](Form1 *t) {
        if (t == tabs_->active() && t->isLocked()) pageLocking(t->browser());
    });
    connect(tabs, &TabSet::FullScreenRequested, this, [this](Form1 *, bool on) {
        if (on && bar_) bar_->hide();  // before the chrome is hidden: it stays closed after
    });
}

WebView *FindControl::page() const {
    Form1 *t = tabs_->active();
    return t && !t->isLocked() ? t->browser() : nullptr;
}

// Nobody sees the find bar before the first Ctrl+F: it is not made before then.
FindBar *FindControl::bar() {
    if (bar_) return bar_;
    bar_ = new FindBar(before_->parentWidget());
    column_->insertWidget(column_->indexOf(before_), bar_);
    bar_->setColours(colours_[0], colours_[1]);
    connect(bar_, &FindBar::FindRequested, this,
            [this](const QString &text, bool backward, bool matchCase) {
                if (WebView *v = page()) v->Find(text, backward, matchCase);
            });
    connect(bar_, &FindBar::Closed, this, [this] {
        if (WebView *v = page()) {
            v->Find(QString(), false, false);
            v->widget()->setFocus();
        }
    });
    emit Made(bar_);
    return bar_;
}

Ran FindControl::Execute(Command command) {
    if (command != Command::Find && command != Command::FindNext &&
        command != Command::FindPrevious)
        return Ran::NotMine;
    WebView *v = page();
    if (!v) return Ran::Nothing;
    FindBar *b = bar();
    if (command == Command::Find || b->isHidden()) b->open();
    if (command != Command::Find && !b->text().isEmpty())
        v->Find(b->text(), command == Command::FindPrevious, b->matchCase());
    return Ran::Done;
}

void FindControl::showResult(int active, int total) {
    if (!bar_) return;
    bar_->showResult(active, total);
    if (!qEnvironmentVariableIsEmpty("OLUMETTA_DEBUG"))
        std::fprintf(stderr, "olumetta: found %d of %d\n", active, total);
}

void FindControl::setColours(const QColor &background, const QColor &text) {
    colours_[0] = background;
    colours_[1] = text;
    if (bar_) bar_->setColours(background, text);
}

void FindControl::followTab() {
    if (!bar_ || !bar_->isVisible()) return;
    if (page())
        bar_->open();
    else
        bar_->hide();
}

void FindControl::pageLocking(WebView *page) {
    if (!bar_ || !bar_->isVisible()) return;
    page->Find(QString(), false, false);  // its highlights go with the bar
    bar_->hide();
}
