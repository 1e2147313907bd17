#pragma once
// A background tab gives back its view's images: the engine keeps pictures of a view's size for
// as long as the tab lives, and reshapes them only when it draws. So the view is drawn a few
// frames at its width and one pixel high beneath the front tab (never seen), then hidden, and
// laid out at its full size again at once: hidden, that costs nothing until it is shown.
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

class ViewShrink : public QObject {
    Q_OBJECT
  public:
    static constexpr int kDrawMs = 60;  // a few frames of the engine's

    // tab: the tab's widget, a page of a stack; relayout: its view at its full size again.
    ViewShrink(QWidget *tab, QWidget *view, std::function<void()> relayout);
    // Given back, or being given back.
    bool shrunk() const { return !drawn_ || shrinking_; }
    // then: once it is done (also when the tab came to the front meanwhile).
    void shrink(std::function<void()> then = {});
    // In front: drawn at its full size from now; one being shrunk gets its size back first.
    void shown();

  private:
    bool behind() const;
    QWidget *tab_;
    QPointer<QWidget> view_;
    std::function<void()> relayout_;
    bool drawn_ = true;
    bool shrinking_ = false;
};
