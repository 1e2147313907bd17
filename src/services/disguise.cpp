#include "disguise.h"

#include "core/numbers.h"

namespace disguise {

Picture PictureFor(const QString &superHide) {
    // A missing or unreadable value is the first picture, the settings' default.
    const double value = config::numberOrZero(superHide);
    if (value == 0) return Picture::Pinyin;
    if (value == 1) return Picture::Microsoft;
    if (value == 2) return Picture::Abc;
    return Picture::Custom;
}

QSize PictureSize(Picture p) {
    switch (p) {
        case Picture::Pinyin:
            return {169, 22};
        case Picture::Microsoft:
            return {166, 25};
        case Picture::Abc:
            return {127, 26};
        case Picture::Custom:
            break;
    }
    return {};
}

QRect Place(const QSize &screen, int taskbarHeight, const QSize &picture) {
    return QRect(QPoint(screen.width() - picture.width(),
                        screen.height() - taskbarHeight - picture.height()),
                 picture);
}

bool Restores(const QString &typed, const QString &restoreCharacter) {
    return !restoreCharacter.isEmpty() && typed == restoreCharacter;
}

}  // namespace disguise
