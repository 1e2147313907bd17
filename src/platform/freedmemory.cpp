#include "freedmemory.h"

#include <QCoreApplication>
#include <QTimer>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace freedmemory {

void GiveBackSoon() {
    static QTimer *settle = [] {
        auto *t = new QTimer(QCoreApplication::instance());
        t->setSingleShot(true);
        t->setInterval(1000);
        QObject::connect(t, &QTimer::timeout, [] {
#if defined(__GLIBC__)
            malloc_trim(0);
#endif
        });
        return t;
    }();
    settle->start();
}

}  // namespace freedmemory
