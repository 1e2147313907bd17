#include "language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void UseChineseInterface() {
    // The engine takes its page language (error pages, form controls) from the default
    // locale as it starts.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char *name : {"qtbase_zh_CN", "qtwebengine_zh_CN"}) {
        auto *t = new QTranslator(QCoreApplication::instance());
        if (t->load(QLatin1String(name), folder))
            QCoreApplication::installTranslator(t);
        else
            delete t;  // without Debian's translations: Qt's own English
    }
}
