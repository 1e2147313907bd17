#include "animation.h"

#include <cmath>

namespace about {

QPointF Centred(const QSizeF &stage, const QSizeF &picture) {
    return QPointF(std::round((stage.width() - picture.width()) / 2),
                   std::round((stage.height() - picture.height()) / 2));
}

double TextCentre(const Sizes &sizes) {
    return (sizes.stage.height() - sizes.text.height()) / 2;
}

void Tick(State &s, const Sizes &sizes) {
    switch (s.phase) {
        case Phase::FirstFade:
            // On the tick that reaches 255 the picture is drawn at 0: it vanishes.
            if (++s.level == 255) {
                s.level = 0;
                s.phase = Phase::SecondFade;
            }
            break;
        case Phase::SecondFade:
            // This one keeps its level: the picture stays at full opacity.
            if (++s.level == 255) {
                s.phase = Phase::Slide;
                s.textTop = sizes.stage.height();  // just below the stage
                s.textShown = true;
            }
            break;
        case Phase::Slide:
            s.textTop -= 1;
            if (TextCentre(sizes) > s.textTop) {
                s.textTop = TextCentre(sizes);
                s.phase = Phase::Still;
            }
            break;
        case Phase::Still:
            break;
    }
}

}  // namespace about
