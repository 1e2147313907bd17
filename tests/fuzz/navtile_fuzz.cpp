// Navigation tiles: any stored value applies without harm, and what the editor stores
// reads back as the tile it made.
#include "fuzz.h"
#include "tab/navigation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = Utf16(data, size);
    NavTile tile;
    ApplyNavValue(text, tile);
    const qsizetype half = text.size() / 2;
    const auto storable = StorableNavTile(text.left(half), text.mid(half), 0x123456);
    if (!storable || storable->address.isEmpty()) return 0;
    NavTile back;
    ApplyNavValue(NavValue(storable->address, storable->title, 0x123456), back);
    FUZZ_CHECK(back.address == storable->address);
    FUZZ_CHECK(back.caption == storable->title);
    FUZZ_CHECK(back.colour == 0x123456);
    return 0;
}
