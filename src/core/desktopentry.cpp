#include "desktopentry.h"

#include <algorithm>

namespace {

// A value of one line: line breaks and other control characters would end or break it.
QString oneLine(QString text) {
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control) c = u' ';
    return text;
}

// The string escapes of a value: a backslash is written twice.
QString escaped(const QString &value) {
    return QString(value).replace(u'\\', QStringLiteral("\\\\"));
}

}  // namespace

const QStringList kBrowserMimeTypes{
    QStringLiteral("x-scheme-handler/http"), QStringLiteral("x-scheme-handler/https"),
    QStringLiteral("text/html"), QStringLiteral("application/x-olumetta-bookmark")};

const char kBookmarkMimeInfo[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
    "  <mime-type type=\"application/x-olumetta-bookmark\">\n"
    "    <comment>Telvano bookmark</comment>\n"
    "    <comment xml:lang=\"zh_CN\">Telvano书签</comment>\n"
    "    <glob pattern=\"*.zvb\"/>\n"
    "  </mime-type>\n"
    "</mime-info>\n";

QString ShortcutFileName(const QString &title) {
    QString name = title;
    for (QChar &c : name)
        if (c == u'/' || c.category() == QChar::Other_Control) c = u'_';
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("Telvano");
    if (!name.endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive))
        name += QStringLiteral(".desktop");
    return name;
}

QString ExecArgument(const QString &argument) {
    const QString arg = oneLine(argument);
    // Quoted only when it must be: simple launchers (xdg-open) take the program's path
    // as it stands.
    static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    const bool quote = arg.isEmpty() || std::any_of(arg.begin(), arg.end(),
                                                    [](QChar c) { return reserved.contains(c); });
    QString out;
    for (const QChar c : arg) {
        if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\')) out += u'\\';
        out += c;
    }
    if (quote) out = u'"' + out + u'"';
    out.replace(u'%', QStringLiteral("%%"));  // a field code otherwise
    return escaped(out);
}

QString ShortcutEntry(const QString &name, const QString &program, const QString &address,
                      const QString &folder, const QString &icon) {
    return QStringList{
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Version=1.0"),
        QStringLiteral("Name=") + escaped(oneLine(name)),
        QStringLiteral("Comment=Telvano桌面快捷方式"),
        QStringLiteral("Exec=") + ExecArgument(program) + u' ' + ExecArgument(address),
        QStringLiteral("Path=") + escaped(oneLine(folder)),
        QStringLiteral("Icon=") + escaped(oneLine(icon)),
        QStringLiteral("Terminal=false"),
        QString()}
        .join(u'\n');
}

QString BrowserEntry(const QString &program, const QString &icon) {
    return QStringList{QStringLiteral("[Desktop Entry]"),
                       QStringLiteral("Type=Application"),
                       QStringLiteral("Version=1.0"),
                       QStringLiteral("Name=Orvex Lumetta"),
                       QStringLiteral("GenericName=网页浏览器"),
                       QStringLiteral("Comment=Telvano网页浏览器"),
                       QStringLiteral("Exec=") + ExecArgument(program) + QStringLiteral(" %u"),
                       QStringLiteral("Icon=") + escaped(oneLine(icon)),
                       QStringLiteral("Terminal=false"),
                       QStringLiteral("Categories=Network;WebBrowser;"),
                       QStringLiteral("MimeType=") + kBrowserMimeTypes.join(u';') + u';',
                       QStringLiteral("StartupWMClass=olumetta"),
                       QString()}
        .join(u'\n');
}

QStringList ExecArguments(const QString &entry) {
    // The Exec key of the [Desktop Entry] group, its string escapes undone.
    QString exec, group;
    bool found = false;
    for (QString line : entry.split(u'\n')) {
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.trimmed().startsWith(u'[')) group = line.trimmed();
        if (found || group != QLatin1String("[Desktop Entry]") ||
            !line.startsWith(QLatin1String("Exec")))
            continue;
        // Blanks around the "=" are no part of the value; the value's own end is.
        qsizetype i = 4;
        while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
        if (i == line.size() || line[i] != u'=') continue;
        for (++i; i < line.size() && (line[i] == u' ' || line[i] == u'\t');) ++i;
        for (; i < line.size(); ++i) {
            if (line[i] != u'\\' || i + 1 == line.size()) {
                exec += line[i];
                continue;
            }
            const QChar e = line[++i];
            exec += e == u's'   ? u' '
                    : e == u'n' ? u'\n'
                    : e == u't' ? u'\t'
                    : e == u'r' ? u'\r'
                                : e;
        }
        found = true;
    }
    // Then the words: blanks between them, double quotes around one with a reserved
    // character and a backslash before ", `, $ and \ inside; "%%" is a "%".
    QStringList args;
    QString word;
    bool inWord = false, quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else if (c == u'\\' && i + 1 < exec.size())
                word += exec[++i];
            else if (c == u'%' && i + 1 < exec.size() && exec[i + 1] == u'%')
                word += exec[++i];
            else
                word += c;
        } else if (c == u' ' || c == u'\t') {
            if (inWord) args << word;
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == u'"')
                quoted = true;
            else if (c == u'%' && i + 1 < exec.size() && exec[i + 1] == u'%')
                word += exec[++i];
            else
                word += c;
        }
    }
    if (inWord) args << word;
    return args;
}
