#include "framelayout.h"

#include <algorithm>
#include <climits>

namespace chrome {
namespace {
// Sums of sizes worked out wide and held at an int's ends: a window or a picture near the
// limits never wraps a position round.
int held(qint64 v) {
    return int(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}
qint64 rightOf(const QRect &r) {
    return qint64(r.x()) + r.width();
}
}  // namespace

ResizeLayout OnResize(const ResizeInput &in) {
    ResizeLayout out;
    const qint64 width = in.scaleWidth;
    qint64 address = width - (rightOf(in.button3) + in.logoWidth);
    if (address < kMinAddressWidth) {
        out.logoCut = kLogoDecoration;
        address += kLogoDecoration;
    }
    // Overhangs the right edge by 90.
    out.logoLeft = held(width - in.logoWidth + out.logoCut + 90);
    if (address >= 0) out.addressWidth = held(address);
    // A width below nothing is nothing.
    auto extent = [](qint64 v) { return held(std::max<qint64>(v, 0)); };
    out.imgBG = QRect(0, 0, extent(width - in.logoWidth + out.logoCut + 120), in.toolBarHeight);
    out.imgStaBG = QRect(0, 0, extent(width + 120), in.staBarHeight);
    out.zoomLeft = held(width - in.zoomWidth);
    out.mouseLeft = held(width - in.zoomWidth - in.mouseWidth);
    return out;
}

std::optional<int> ProgressWidth(int scaleWidth, const QRect &button3, int logoWidth, int progress,
                                 int progressMax) {
    if (progressMax == 0) return std::nullopt;
    const float area = float(scaleWidth - (rightOf(button3) + logoWidth));
    const double width = area * (double(progress) / progressMax);
    if (width < 0) return std::nullopt;
    return held(qint64(std::min(width, double(INT_MAX))));
}

SkinPositions PlaceForSkin(const SkinInput &in) {
    SkinPositions out;
    for (int i = 0; i < 4; ++i) out.button[i].setY((in.toolBarHeight - in.button[i].height()) / 2);
    // The menu button sits in the logo area, centred on the first shape.
    out.button[4] = QPoint(in.shape0.x() + (in.shape0.width() - in.button[4].width()) / 2,
                           (in.logoHeight - in.button[4].height()) / 2);
    out.button[0].setX(0);
    out.button[1].setX(in.button[0].width());
    out.button[2].setX(held(qint64(out.button[1].x()) + in.button[1].width()));
    out.button[3].setX(out.button[2].x());  // stop and refresh share one spot
    out.address = QPoint(held(qint64(out.button[2].x()) + in.button[2].width() + 90),
                         held(qint64(in.toolBarInnerHeight) - in.addressHeight));
    out.progressLeft = out.address.x();
    out.staBarHeight = in.mouseLabelHeight;
    out.shapeTop[0] = (in.logoHeight - in.shape0.height()) / 2;
    out.shapeTop[1] = (in.logoHeight - in.shape1Height) / 2;
    out.lineY = in.logoHeight / 2;
    return out;
}

}  // namespace chrome
