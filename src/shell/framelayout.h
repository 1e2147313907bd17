#pragma once
// Where the frame's chrome goes, in twips: the rules applied on every resize and the
// positions a skin sets. Widgets convert to pixels at the boundary.
#include <QRect>
#include <QSize>
#include <optional>

namespace chrome {

// The resize border around a frame that is not maximised, in pixels.
constexpr int kBorder = 3;

// The stored layout.
constexpr int kToolBarHeight = 615;
constexpr int kStaBarHeight = 300;
constexpr QRect kLogo{9120, -120, 2775, 855};
constexpr QRect kLogoBG{0, 120, 2775, 615};
constexpr QRect kShape0{1170, 172, 510, 510};  // ring around the menu button
constexpr QRect kShape1{300, 307, 240, 240};   // a dot left of it
constexpr int kCaptionSize = 255, kCaptionTop = 120;
// Close, adjust, minimise: 90 twips left of the stored places, so that the close button is
// not cut by the logo area's overhang of the frame's right edge.
constexpr int kCaptionLeft[3] = {2430, 2190, 1950};
constexpr QRect kZoom{10560, 0, 1185, 285};
constexpr QRect kMouse{9000, 0, 1575, 285};
constexpr QRect kStatus{120, 0, 360, 255};

struct ResizeInput {
    int scaleWidth;
    QRect button3;  // the refresh button
    int logoWidth = kLogo.width();
    int toolBarHeight = kToolBarHeight;
    int staBarHeight = kStaBarHeight;
    int zoomWidth = kZoom.width();
    int mouseWidth = kMouse.width();
};

// Below this width the address box is too narrow to use: the logo area's decoration (its
// background, line, dot and ring) goes before the box shrinks further, and with it the
// logo's left part, up to the menu button.
constexpr int kMinAddressWidth = 2250;  // 150 pixels
constexpr int kLogoDecoration = 1080;

struct ResizeLayout {
    int logoLeft;
    int logoCut = 0;                  // twips cut off the logo area's left, its decoration hidden
    std::optional<int> addressWidth;  // none: negative, the step fails and is skipped
    QRect imgBG;
    QRect imgStaBG;
    int zoomLeft;
    int mouseLeft;
};

ResizeLayout OnResize(const ResizeInput &in);

// The progress bar's width for a load fraction: the address area's width times it;
// none when the report cannot give one (no maximum, done, or a negative width).
std::optional<int> ProgressWidth(int scaleWidth, const QRect &button3, int logoWidth, int progress,
                                 int progressMax);

struct SkinInput {
    int toolBarHeight = kToolBarHeight;
    int toolBarInnerHeight = kToolBarHeight;
    int logoHeight = kLogo.height();
    QSize button[5];
    QRect shape0 = kShape0;
    int shape1Height = kShape1.height();
    int addressHeight;
    int mouseLabelHeight = kMouse.height();
};

struct SkinPositions {
    QPoint button[5];  // button 4 within the logo area
    QPoint address;
    int progressLeft;
    int staBarHeight;
    int shapeTop[2];
    int lineY;
};

SkinPositions PlaceForSkin(const SkinInput &in);

}  // namespace chrome
