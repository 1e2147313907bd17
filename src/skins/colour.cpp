#include "colour.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWidget>
#include <cmath>

QColor ColourFromBgr(qint32 value) {
    // A system colour (top bit set): the desktop's window colour is the nearest we have.
    if (value < 0) return QGuiApplication::palette().color(QPalette::Window);
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

qint32 BgrFromColour(const QColor &c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

namespace {

double luminance(const QColor &c) {
    auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

}  // namespace

double ContrastRatio(const QColor &a, const QColor &b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor &ink, const QColor &background, double minRatio) {
    const bool darken = luminance(background) > 0.18;  // where black reads better than white
    QColor c = ink.toHsl();
    for (int step = 0; step < 40 && ContrastRatio(c, background) < minRatio; ++step) {
        const int l = c.lightness() + (darken ? -8 : 8);
        c.setHsl(c.hslHue(), c.hslSaturation(), std::clamp(l, 0, 255));
    }
    return c.toRgb();
}

namespace {
QColor mix(const QColor &a, const QColor &b, double share) {  // share of b
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * share,
                            a.greenF() + (b.greenF() - a.greenF()) * share,
                            a.blueF() + (b.blueF() - a.blueF()) * share);
}
}  // namespace

TabStripColours TabStripFor(const QColor &bar) {
    const bool dark = bar.lightness() < 128;
    const QColor white(255, 255, 255), black(0, 0, 0);
    TabStripColours c;
    c.strip = dark ? mix(bar, black, 0.25) : mix(bar, white, 0.35);
    c.tab = dark ? mix(bar, black, 0.1) : mix(bar, white, 0.15);
    c.hover = dark ? mix(bar, white, 0.08) : mix(bar, white, 0.55);
    c.current = dark ? mix(bar, white, 0.18) : white;
    c.border = dark ? mix(bar, black, 0.45) : bar.darker(125);
    const QColor ink = dark ? QColor(235, 238, 245) : QColor(30, 40, 60);
    c.text = ReadableOn(ink, c.tab, 4.5);
    c.currentText = ReadableOn(ink, c.current, 4.5);
    return c;
}

void SetBackground(QWidget *w, const QColor &colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}
