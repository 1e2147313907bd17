#pragma once
// Find in the front page: the find bar, made at the first Ctrl+F above the status strip,
// and the commands that open it and find the next or previous match. A locked page is
// searched by nothing; the bar follows the front tab, and closes for a page's full screen.
#include <QColor>
#include <QObject>

#include "core/command.h"

class FindBar;
class QBoxLayout;
class QWidget;
class TabSet;
class WebView;

class FindControl : public QObject {
    Q_OBJECT
  public:
    // column: where the bar goes, just above `before`.
    FindControl(QBoxLayout *column, QWidget *before, TabSet *tabs);
    Ran Execute(Command command);  // Find, FindNext, FindPrevious
    void setColours(const QColor &background, const QColor &text);

  signals:
    void Made(QWidget *bar);

  private:
    FindBar *bar();
    WebView *page() const;  // the front page, when it may be searched
    void showResult(int active, int total);
    void followTab();  // another tab came to the front: an open bar searches it afresh
    void pageLocking(WebView *page);  // the front page locks: the bar closes
    QBoxLayout *column_;
    QWidget *before_;
    TabSet *tabs_;
    FindBar *bar_ = nullptr;
    QColor colours_[2];
};
