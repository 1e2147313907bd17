// What the package installs beside the program, made at build time from the program's own
// texts: the desktop entry, the bookmark files' MIME type, and the icon at every size of
// the hicolor theme, drawn from the scalable one.
// Usage: packart OUTDIR ICON.svg PROGRAM (as the entry's Exec line starts it)
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

#include "core/desktopentry.h"

namespace {
bool write(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
}  // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: packart OUTDIR ICON.svg INSTALLED-PROGRAM\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[2]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "packart: cannot read %s\n", argv[2]);
        return 1;
    }
    bool ok = write(out + "/olumetta.desktop",
                    BrowserEntry(QString::fromLocal8Bit(argv[3]), "olumetta").toUtf8()) &&
              write(out + "/olumetta.xml", QByteArray(kBookmarkMimeInfo));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        QPainter p(&icon);
        svg.render(&p);
        p.end();
        const QString path =
            QStringLiteral("%1/icons/hicolor/%2x%2/apps/olumetta.png").arg(out).arg(size);
        ok = QDir().mkpath(QFileInfo(path).absolutePath()) && icon.save(path) && ok;
    }
    return ok ? 0 : 1;
}
