#pragma once
// The three pictures of the boss key's disguise, drawn here: status bars of input methods,
// of our own design. The disguise shows one, the settings preview them.
#include <QPixmap>

#include "disguise.h"

QPixmap DisguisePicture(disguise::Picture which);
