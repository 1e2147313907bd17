// The frame's layout: any window and skin sizes give positions without wrapping round.
#include "fuzz.h"
#include "shell/framelayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    int v[12] = {};
    Numbers(data, size, v);
    // A widget's rectangle is far from an int's ends; the window's width and the skin's need not
    // be.
    chrome::ResizeInput in{v[0],
                           QRect(v[1] & 0xFFFFF, v[2] & 0xFFFFF, v[3] & 0xFFFFF, v[4] & 0xFFFFF)};
    in.logoWidth = v[5];
    const chrome::ResizeLayout out = chrome::OnResize(in);
    if (out.addressWidth) FUZZ_CHECK(*out.addressWidth >= 0);
    if (const auto w = chrome::ProgressWidth(v[0], in.button3, v[5], v[6], v[7]))
        FUZZ_CHECK(*w >= 0);
    chrome::SkinInput skin;
    for (int i = 0; i < 5; ++i) skin.button[i] = QSize(v[7 + i] & 0xFFFF, v[i] & 0xFFFF);
    skin.addressHeight = v[11];
    chrome::PlaceForSkin(skin);
    return 0;
}
