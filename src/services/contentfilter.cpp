#include "contentfilter.h"

#include <QStringList>
#include <cstring>

#include <QUrl>

#include "core/numbers.h"
#include "core/settings.h"

namespace {

const char *const kSexualWords[] = {"性交", "女优", "a片",  "强奸", "露逼", "肛交",
                                    "乳交", "鸡巴", "春药", "迷奸", "换妻", "一夜情",
                                    "上床", "肏",   "勃起", "吻",   "裸体", "胴体",
                                    "裸聊", "手淫", "自慰", "做爱", "fuck", "porn"};
const char *const kViolentWords[] = {"爆头", "杀人", "肢解", "奸杀", "折磨", "杀害", "虐"};

bool flagOn(const QString &flags, int position) {
    return position < flags.size() && flags.at(position) == QLatin1Char('1');
}

template <size_t N>
QString firstIn(const QString &lowered, const char *const (&words)[N]) {
    for (const char *w : words) {
        const QString word = QString::fromUtf8(w);
        if (lowered.contains(word)) return word;
    }
    return {};
}

}  // namespace

QString FilteredWord(const QString &title, const FilterSettings &s) {
    if (config::numberOrZero(s.useFilter) != 1) return {};
    const QString lowered = title.toLower();
    QString hit;
    if (flagOn(s.filter, 0)) hit = firstIn(lowered, kSexualWords);
    if (hit.isEmpty() && flagOn(s.filter, 1)) hit = firstIn(lowered, kViolentWords);
    if (hit.isEmpty() && flagOn(s.filter, 2)) {
        for (const QString &piece : s.filterText.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (lowered.contains(piece.toLower())) return piece;
        }
    }
    return hit;
}

bool IsPageFiltered(const QString &title) {
    using settings::Key;
    const FilterSettings s{settings::Text(Key::UseFilter), settings::Text(Key::Filter),
                           settings::Text(Key::FilterText)};
    return !FilteredWord(title, s).isEmpty();
}

bool TitleIsAddress(const QString &title, const QUrl &url) {
    if (title.isEmpty()) return true;
    if (url.isLocalFile() && title == url.fileName()) return true;
    for (const QString &full : {url.toString(QUrl::FullyEncoded), url.toDisplayString()}) {
        QString shown = full;
        if (title == shown) return true;
        for (const char *scheme : {"http://", "https://", "file://"})
            if (shown.startsWith(QLatin1String(scheme))) shown.remove(0, int(strlen(scheme)));
        if (title == shown || title + QLatin1Char('/') == shown) return true;
    }
    return false;
}
