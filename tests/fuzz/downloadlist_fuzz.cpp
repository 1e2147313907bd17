// The download list: whatever a file holds, no line is taken whose partial file is not its
// target's own: beside it, named "<target>.part" or "<target>.<1-99>.part" (".download" too for
// a page's download), the target an absolute path of plain segments.
#include <QRegularExpression>

#include "core/downloadlist.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = Bytes(data, size);
    QList<DownloadRecord> lines = ParseDownloadList(bytes);
    // The bytes as one line's target and partial too, as a list would hand them on.
    const QList<QByteArray> f = bytes.split('\t');
    lines.append({DownloadRecord::End::Interrupted,
                  QString::fromUtf8(f.value(0)),
                  QString::fromUtf8(f.value(1)),
                  {},
                  0,
                  -1,
                  {},
                  {},
                  (size & 1) != 0});
    static const QRegularExpression plain("^(/[^/]+)+\\z"), dots("/\\.\\.?(/|\\z)");
    static const QRegularExpression own("^\\.([1-9][0-9]?\\.)?(part|download)\\z");
    for (const DownloadRecord &r : lines) {
        if (!TrustedRecord(r)) continue;
        FUZZ_CHECK(plain.match(r.target).hasMatch() && !dots.match(r.target).hasMatch());
        if (r.partial.isEmpty()) {
            FUZZ_CHECK(r.end != DownloadRecord::End::Interrupted);
            continue;
        }
        const QString suffix = r.partial.mid(r.target.size());
        FUZZ_CHECK(r.partial.startsWith(r.target) && own.match(suffix).hasMatch());
        FUZZ_CHECK(r.page || suffix.endsWith(QLatin1String(".part")));
    }
    return 0;
}
