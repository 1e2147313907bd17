// Form.ini: any stored geometry gives a frame of a usable size on a screen.
#include "core/geometry.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const StoredGeometry stored = ReadStoredGeometry(InFile(data, size));
    const QList<QRect> screens{{0, 0, 1280, 800}, {1280, -200, 1024, 768}};
    const QRect r = RestoredGeometry(stored, {100, 100, 800, 600}, 15.0, screens);
    FUZZ_CHECK(r.width() >= 150 && r.height() >= 150);
    FUZZ_CHECK(screens[0].intersects(r) || screens[1].intersects(r));
    return 0;
}
