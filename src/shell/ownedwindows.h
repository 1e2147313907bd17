#pragma once
// The secondary windows the frame owns. Each is registered once with how it is made, made
// the first time it is wanted, and listed while it is open: closing the frame, the boss key
// and a hand-off all walk one list.
#include <QApplication>
#include <QDialog>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QWidget>
#include <functional>

enum class OwnedWindow {
    Downloads,
    Disguise,
    AddBookmark,
    About,
    Settings,
    Skins,
    History,
    Import,
};

class OwnedWindows {
  public:
    using Factory = std::function<QWidget *()>;
    void add(OwnedWindow id, Factory make) { factories_[id] = std::move(make); }

    // Made on first use; the same window afterwards.
    template <typename W>
    W *get(OwnedWindow id) {
        QPointer<QWidget> &w = made_[id];
        if (!w) w = factories_.value(id)();
        return static_cast<W *>(w.data());
    }
    // The window if it was made; none made for the asking.
    template <typename W>
    W *made(OwnedWindow id) const {
        return static_cast<W *>(made_.value(id).data());
    }
    // Closes the window for good; the next get() makes a new one.
    void discard(OwnedWindow id) {
        if (QWidget *w = made_.take(id)) {
            w->hide();
            w->deleteLater();  // it may be in one of its own events
        }
    }
    // The window if it is made and showing now.
    QWidget *openOne(OwnedWindow id) const {
        const QPointer<QWidget> w = made_.value(id);
        return w && w->isVisible() ? w.data() : nullptr;
    }
    // Those made and showing now.
    QList<QWidget *> open() const {
        QList<QWidget *> out;
        for (const QPointer<QWidget> &w : made_)
            if (w && w->isVisible()) out << w.data();
        return out;
    }
    // Besides the frame: these, and the dialogs up at the moment, as the loaded windows they
    // are.
    int openWithDialogs(const QWidget *frame) const {
        const QList<QWidget *> mine = open();
        int n = mine.size();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != frame && w->isVisible() && !mine.contains(w) && qobject_cast<QDialog *>(w))
                ++n;
        return n;
    }

  private:
    QMap<OwnedWindow, Factory> factories_;
    QMap<OwnedWindow, QPointer<QWidget>> made_;
};
