#pragma once
// The about box's animation as steps of its 10 ms timers: the small picture fades in and
// vanishes, the large one fades in and stays, then the text panel slides up to the middle.
#include <QPointF>
#include <QSizeF>

namespace about {

enum class Phase { FirstFade, SecondFade, Slide, Still };

struct Sizes {
    QSizeF stage, first, second, text;  // pixels
    QSizeF picture(int index) const { return index == 0 ? first : second; }
};

struct State {
    Phase phase = Phase::FirstFade;
    int level = 0;       // the opacity the running fade draws with, 0 to 255
    double textTop = 0;  // the text panel's top while it slides
    bool textShown = false;
};

// One tick of the running phase's timer.
void Tick(State &s, const Sizes &sizes);
// Where a picture of this size sits, centred on the stage, in whole pixels.
QPointF Centred(const QSizeF &stage, const QSizeF &picture);
// Where the slide ends: the panel's top in the middle of the stage (a half pixel counts).
double TextCentre(const Sizes &sizes);

}  // namespace about
