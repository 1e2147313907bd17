#pragma once
// Find in the front page: the find bar, made at the first Ctrl+F above the status strip,
// and the commands that open it and find the next or previous match.
#include <QColor>
#include <QObject>
#include <functional>

#include "core/command.h"

class FindBar;
class QBoxLayout;
class QWidget;
class WebView;

class FindControl : public QObject {
    Q_OBJECT
  public:
    // column: where the bar goes, just above `before`; page: the front page, if any.
    FindControl(QBoxLayout *column, QWidget *before, std::function<WebView *()> page);
    Ran Execute(Command command);  // Find, FindNext, FindPrevious
    void showResult(int active, int total);
    void setColours(const QColor &background, const QColor &text);
    void hide();
    void followTab();  // another tab came to the front: an open bar searches it afresh
    void pageLocking(WebView *page);  // the front page locks: the bar closes

  signals:
    void Made(QWidget *bar);

  private:
    FindBar *bar();
    QBoxLayout *column_;
    QWidget *before_;
    std::function<WebView *()> page_;
    FindBar *bar_ = nullptr;
    QColor colours_[2];
};
