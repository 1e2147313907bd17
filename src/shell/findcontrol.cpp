#include "findcontrol.h"

#include <QBoxLayout>
#include <cstdio>

#include "findbar.h"
#include "platform/webview.h"

FindControl::FindControl(QBoxLayout *column, QWidget *before, std::function<WebView *()> page)
    : QObject(before), column_(column), before_(before), page_(std::move(page)) {}

// Nobody sees the find bar before the first Ctrl+F: it is not made before then.
FindBar *FindControl::bar() {
    if (bar_) return bar_;
    bar_ = new FindBar(before_->parentWidget());
    column_->insertWidget(column_->indexOf(before_), bar_);
    bar_->setColours(colours_[0], colours_[1]);
    connect(bar_, &FindBar::FindRequested, this,
            [this](const QString &text, bool backward, bool matchCase) {
                if (WebView *v = page_()) v->Find(text, backward, matchCase);
            });
    connect(bar_, &FindBar::Closed, this, [this] {
        if (WebView *v = page_()) {
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
    WebView *v = page_();
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

void FindControl::hide() {
    if (bar_) bar_->hide();
}

void FindControl::followTab() {
    if (!bar_ || !bar_->isVisible()) return;
    if (page_())
        bar_->open();
    else
        bar_->hide();
}

void FindControl::pageLocking(WebView *page) {
    if (!bar_ || !bar_->isVisible()) return;
    page->Find(QString(), false, false);  // its highlights go with the bar
    bar_->hide();
}
