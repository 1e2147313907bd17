// The content filter: any title against any word list; a word it reports is in the title.
#include <QUrl>

#include "fuzz.h"
#include "services/contentfilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(Bytes(data, size));
    const qsizetype half = text.size() / 2;
    FilterSettings settings;
    settings.useFilter = QStringLiteral("1");
    settings.filter = QStringLiteral("111");
    settings.filterText = text.left(half);
    const QString title = text.mid(half);
    const QString word = FilteredWord(title, settings);
    FUZZ_CHECK(word.isEmpty() || title.contains(word, Qt::CaseInsensitive));
    TitleIsAddress(title, QUrl(text.left(half)));
    return 0;
}
