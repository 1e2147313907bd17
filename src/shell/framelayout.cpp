#include "framelayout.h"

namespace chrome {

ResizeLayout OnResize(const ResizeInput &in) {
    ResizeLayout out;
    int address = in.scaleWidth - (in.button3.x() + in.button3.width() + in.logoWidth);
    if (address < kMinAddressWidth) {
        out.logoCut = kLogoDecoration;
        address += kLogoDecoration;
    }
    // Overhangs the right edge by 90.
    out.logoLeft = in.scaleWidth - in.logoWidth + out.logoCut + 90;
    if (address >= 0) out.addressWidth = address;
    out.imgBG = QRect(0, 0, in.scaleWidth - in.logoWidth + out.logoCut + 120, in.toolBarHeight);
    out.imgStaBG = QRect(0, 0, in.scaleWidth + 120, in.staBarHeight);
    out.zoomLeft = in.scaleWidth - in.zoomWidth;
    out.mouseLeft = in.scaleWidth - in.zoomWidth - in.mouseWidth;
    return out;
}

std::optional<int> ProgressWidth(int scaleWidth, const QRect &button3, int logoWidth, int progress,
                                 int progressMax) {
    if (progressMax == 0) return std::nullopt;
    const float area = float(scaleWidth - (button3.x() + button3.width() + logoWidth));
    const double width = area * (double(progress) / progressMax);
    if (width < 0) return std::nullopt;
    return int(width);
}

SkinPositions PlaceForSkin(const SkinInput &in) {
    SkinPositions out;
    for (int i = 0; i < 4; ++i) out.button[i].setY((in.toolBarHeight - in.button[i].height()) / 2);
    // The menu button sits in the logo area, centred on the first shape.
    out.button[4] = QPoint(in.shape0.x() + (in.shape0.width() - in.button[4].width()) / 2,
                           (in.logoHeight - in.button[4].height()) / 2);
    out.button[0].setX(0);
    out.button[1].setX(in.button[0].width());
    out.button[2].setX(out.button[1].x() + in.button[1].width());
    out.button[3].setX(out.button[2].x());  // stop and refresh share one spot
    out.address = QPoint(out.button[2].x() + in.button[2].width() + 90,
                         in.toolBarInnerHeight - in.addressHeight);
    out.progressLeft = out.address.x();
    out.staBarHeight = in.mouseLabelHeight;
    out.shapeTop[0] = (in.logoHeight - in.shape0.height()) / 2;
    out.shapeTop[1] = (in.logoHeight - in.shape1Height) / 2;
    out.lineY = in.logoHeight / 2;
    return out;
}

}  // namespace chrome
