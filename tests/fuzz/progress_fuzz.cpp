// A download's figures: any counts and clock give a bar inside its track and finite texts.
#include "downloads/progress.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    qint64 v[6] = {};
    Numbers(data, size, v);
    const int track = int(v[2] & 0xFFFF);
    if (const auto w = BarWidth(v[0], v[1], track)) FUZZ_CHECK(*w >= 0 && *w <= track);
    RateMeter rate;
    for (int i = 0; i + 1 < 6; i += 2) rate.sample(v[i], v[i + 1]);
    const auto speed = rate.bytesPerSecond();
    ProgressDetail(v[0], v[1], speed);
    FUZZ_CHECK(!SizeText(v[3]).isEmpty());
    TimeLeftText(v[4]);
    ProgressText(v[5]);
    return 0;
}
