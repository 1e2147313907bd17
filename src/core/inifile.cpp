#include "inifile.h"

#include <vector>

namespace ini {
namespace {

struct Line {
    qsizetype begin;    // first byte of the line
    qsizetype textEnd;  // first byte of its terminator
    qsizetype end;      // first byte after the terminator
};

// CR LF, LF and a lone CR all end a line, so files from any editor read alike.
std::vector<Line> splitLines(QByteArrayView f) {
    std::vector<Line> lines;
    qsizetype i = 0;
    const qsizetype n = f.size();
    while (i < n) {
        qsizetype j = i;
        while (j < n && f[j] != '\r' && f[j] != '\n') ++j;
        qsizetype e = j;
        if (e < n) e += (f[e] == '\r' && e + 1 < n && f[e + 1] == '\n') ? 2 : 1;
        lines.push_back({i, j, e});
        i = e;
    }
    return lines;
}

// In the file, space, TAB and vertical tab are blanks around names and values.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

QByteArrayView trimmed(QByteArrayView v, bool (*blank)(char) = isBlank) {
    qsizetype a = 0, b = v.size();
    while (a < b && blank(v[a])) ++a;
    while (b > a && blank(v[b - 1])) --b;
    return v.sliced(a, b - a);
}

// In the caller's section and key names only spaces are; any other byte is part of the name.
QByteArrayView trimmedName(QByteArrayView v) {
    return trimmed(v, [](char c) { return c == ' '; });
}

bool sameName(QByteArrayView a, QByteArrayView b) {
    return a.size() == b.size() && qstrnicmp(a.data(), a.size(), b.data(), b.size()) == 0;
}

enum class Kind { Blank, Comment, Section, Key };

struct Parsed {
    Kind kind;
    QByteArrayView name;   // section or key name
    QByteArrayView value;  // raw value after '=' (keys only)
};

Parsed parse(QByteArrayView text) {
    QByteArrayView t = trimmed(text);
    if (t.isEmpty()) return {Kind::Blank, {}, {}};
    if (t[0] == ';') return {Kind::Comment, {}, {}};
    if (t[0] == '[') {
        QByteArrayView inner = t.sliced(1);
        const qsizetype close = inner.indexOf(']');
        if (close >= 0) inner = inner.first(close);
        return {Kind::Section, trimmed(inner), {}};
    }
    const qsizetype eq = t.indexOf('=');
    if (eq < 0) return {Kind::Key, t, {}};
    return {Kind::Key, trimmed(t.first(eq)), t.sliced(eq + 1)};
}

// The utf-8 byte-order mark is not part of the first line's text.
qsizetype bomLength(QByteArrayView f) {
    return f.startsWith("\xEF\xBB\xBF") ? 3 : 0;
}

QByteArrayView lineText(QByteArrayView f, const Line &l) {
    const qsizetype skip = l.begin == 0 ? bomLength(f) : 0;
    return f.sliced(l.begin + skip, l.textEnd - l.begin - skip);
}

struct Found {
    qsizetype sectionLine = -1;  // index of the header of the first matching section
    qsizetype keyLine = -1;      // index of the first matching key line in it
    qsizetype lastKeyLine = -1;  // index of the section's last key line
};

Found locate(QByteArrayView f, const std::vector<Line> &lines, QByteArrayView section,
             QByteArrayView key) {
    Found r;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        const Parsed p = parse(lineText(f, lines[i]));
        if (r.sectionLine < 0) {
            if (p.kind == Kind::Section && sameName(p.name, section)) r.sectionLine = i;
            continue;
        }
        if (p.kind == Kind::Section) break;  // only the first of duplicate sections counts
        if (p.kind != Kind::Key) continue;
        r.lastKeyLine = i;
        if (r.keyLine < 0 && sameName(p.name, key)) r.keyLine = i;
    }
    return r;
}

}  // namespace

QByteArray readValue(QByteArrayView file, QByteArrayView section, QByteArrayView key) {
    const auto lines = splitLines(file);
    const Found at = locate(file, lines, trimmedName(section), trimmedName(key));
    if (at.keyLine < 0) return QByteArray();
    QByteArrayView v = trimmed(parse(lineText(file, lines[at.keyLine])).value);
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v[0] == v[v.size() - 1])
        v = v.sliced(1, v.size() - 2);
    return QByteArray(v.data(), v.size()).append("", 0);  // never null once found
}

QByteArray writeValue(QByteArrayView file, QByteArrayView section, QByteArrayView key,
                      QByteArrayView value) {
    const auto lines = splitLines(file);
    section = trimmedName(section);
    key = trimmedName(key);
    const Found at = locate(file, lines, section, key);
    QByteArray out;
    out.reserve(file.size() + key.size() + value.size() + section.size() + 8);

    if (at.keyLine >= 0) {
        // Keep the file's own spelling of the key and the line's own terminator.
        const Line &l = lines[at.keyLine];
        const Parsed p = parse(lineText(file, l));
        const qsizetype bom = l.begin == 0 ? bomLength(file) : 0;
        out.append(file.first(l.begin + bom));
        out.append(p.name).append('=').append(value);
        if (l.end == l.textEnd) return out.append("\r\n");  // the last line gets a break
        out.append(file.sliced(l.textEnd));
        return out;
    }
    const QByteArray newLine =
        QByteArray(key.data(), key.size()).append('=').append(value).append("\r\n");
    if (at.sectionLine >= 0) {
        const Line &after = lines[at.lastKeyLine >= 0 ? at.lastKeyLine : at.sectionLine];
        out.append(file.first(after.end));
        if (after.end == after.textEnd) out.append("\r\n");  // last line had no break
        out.append(newLine);
        out.append(file.sliced(after.end));
        return out;
    }
    out.append(file);
    if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r')) out.append("\r\n");
    out.append('[').append(section).append("]\r\n").append(newLine);
    return out;
}

}  // namespace ini
