// Version pages and parental hours: any page and any settings, no undefined arithmetic;
// "newer" is never true both ways.
#include "fuzz.h"
#include "services/parental.h"
#include "services/version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(Bytes(data, size));
    const QStringList fields = text.split(u',');
    const Version published = PublishedVersion(fields);
    FUZZ_CHECK(!(IsNewer(published, kProgramVersion) && IsNewer(kProgramVersion, published)));
    if (fields.size() >= 6) UpdateQuestion(kProgramVersion, fields);
    const QStringList p = text.split(u';');
    const ParentalSettings settings{p.value(0), p.value(1), p.value(2), p.value(3), p.value(4)};
    const QDateTime now = QDateTime::fromSecsSinceEpoch(size ? qint64(data[0]) * 86400 * 3 : 0);
    BrowsingBlocked(now, settings);
    return 0;
}
