// The [Mouse] entries of config.ini: any file gives a list, each entry a command or none.
#include "core/settings.h"
#include "fuzz.h"
#include "gestures/gesture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    for (const settings::UserGesture &g : settings::UserGesturesFrom(Bytes(data, size))) {
        gesture::FixedCommand(g.gesture);
        FUZZ_CHECK(gesture::LoopCount(g.gesture) >= 0);
    }
    return 0;
}
