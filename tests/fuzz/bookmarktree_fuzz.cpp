// Bookmark files of other browsers and the download list: any bytes give a tree (or none)
// that writes and reads back the same, names that stay in their folder, and a list whose
// lines come back as they were written.
#include "core/bookmarktree.h"
#include "core/downloadlist.h"
#include "fuzz.h"

namespace {

bool Same(const BookmarkFolder &a, const BookmarkFolder &b) {
    if (a.bookmarks.size() != b.bookmarks.size() || a.folders.size() != b.folders.size())
        return false;
    for (qsizetype i = 0; i < a.folders.size(); ++i)
        if (!Same(a.folders[i], b.folders[i])) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = Bytes(data, size);
    const BookmarkFolder html = ParseBookmarkHtml(bytes);
    FUZZ_CHECK(Same(ParseBookmarkHtml(BookmarkHtml(html)), html));
    if (const auto chromium = ParseChromiumBookmarks(bytes))
        FUZZ_CHECK(Same(ParseBookmarkHtml(BookmarkHtml(*chromium)), *chromium));
    const QString name = ImportedName(Utf16(data, size), 9);
    FUZZ_CHECK(!name.contains(u'/') && name != QLatin1String(".") && name != QLatin1String(".."));
    FUZZ_CHECK(name.toUtf8().size() + 9 <= 255);
    const QList<DownloadRecord> list = ParseDownloadList(bytes);
    const QList<DownloadRecord> again = ParseDownloadList(DownloadListBytes(list));
    FUZZ_CHECK(again.size() == list.size());
    for (qsizetype i = 0; i < list.size(); ++i)
        FUZZ_CHECK(again[i].target == list[i].target && again[i].url == list[i].url &&
                   again[i].written == list[i].written && again[i].validator == list[i].validator);
    return 0;
}
