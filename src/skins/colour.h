#pragma once
// Colours as the setting files keep them: 32-bit 0x00BBGGRR, red in the lowest byte;
// negative values name system colours.
#include <QColor>
#include <QString>

#include "core/skinfile.h"  // BgrFromText

QColor ColourFromBgr(qint32 value);
qint32 BgrFromColour(const QColor &colour);

class QWidget;
// The widget filled with the colour behind its children.
void SetBackground(QWidget *w, const QColor &colour);

// The contrast of two colours as the eye reads text, 1 (none) to 21 (black on white).
double ContrastRatio(const QColor &a, const QColor &b);
// The ink, darkened or lightened in its own hue until it reads on the background.
QColor ReadableOn(const QColor &ink, const QColor &background, double minRatio = 3.0);

// The tab strip in a skin's toolbar colour: a dark skin gives a dark strip. The current tab
// stands out from the others; every text reads on its tab.
struct TabStripColours {
    QColor strip, tab, hover, current, text, currentText, border;
};
TabStripColours TabStripFor(const QColor &bar);
