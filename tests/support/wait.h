#pragma once
// Waits, serving events, until the condition holds; false when it never did in time.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

template <typename Condition>
bool waitFor(Condition condition, int timeoutMs = 30000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > timeoutMs) return false;
        QTest::qWait(20);
    }
    return true;
}

// Every event of one kind the application delivers while this lives: its receivers in order,
// and their classes (read as it comes: a receiver may be gone later).
struct EventsSeen : QObject {
    explicit EventsSeen(QEvent::Type type) : type_(type) { qApp->installEventFilter(this); }
    ~EventsSeen() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *o, QEvent *e) override {
        if (e->type() != type_) return false;
        receivers << o;
        classes << QString::fromLatin1(o->metaObject()->className());
        return false;
    }
    QList<QObject *> receivers;
    QStringList classes;

  private:
    QEvent::Type type_;
};
