#include "commandline.h"

#include <QStringList>
#include <QUrl>

#include "core/bookmarks.h"

QString CommandLineText(int argc, char **argv) {
    QStringList parts;
    for (int i = 1; i < argc; ++i) parts << QString::fromLocal8Bit(argv[i]);
    return parts.join(QLatin1Char(' '));
}

QString CleanAddress(QString text) {
    return text.remove(QLatin1Char('"')).remove(QStringLiteral("%1"));
}

namespace {
// The desktop may hand a bookmark over as a file: address.
QString bookmarkPath(const QString &commandLine) {
    const QUrl url(commandLine);
    return url.isLocalFile() ? url.toLocalFile() : commandLine;
}
}  // namespace

StartCommand ParseCommandLine(const QString &commandLine) {
    if (commandLine.isEmpty()) return {};
    const QString lower = commandLine.toLower();
    if (lower == QLatin1String("password")) return {StartCommand::Password, {}};
    if (lower == QLatin1String("config")) return {StartCommand::Config, {}};
    if (const QString path = bookmarkPath(commandLine); IsBookmarkPath(path))
        return {StartCommand::Open, ReadBookmarkFile(path)};
    return {StartCommand::Open, CleanAddress(commandLine)};
}

QString HandOffCommand(const QString &commandLine) {
    if (commandLine.isEmpty()) return QStringLiteral("OpenNew");
    if (const QString path = bookmarkPath(commandLine); IsBookmarkPath(path))
        return QStringLiteral("DDEOpen") + ReadBookmarkFile(path);
    return QStringLiteral("DDEOpen") + CleanAddress(commandLine);
}

HandOff ParseHandOff(const QString &command) {
    if (command.startsWith(QLatin1String("DDEOpen"))) {
        const QString address = CleanAddress(command.mid(7));
        if (address.compare(QLatin1String("config"), Qt::CaseInsensitive) == 0)
            return {HandOff::Config, {}};
        return {HandOff::Open, address};
    }
    if (command == QLatin1String("OpenNew")) return {HandOff::OpenNew, {}};
    return {};
}
