#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the floating promotion window opens: its right edge 80 twips left of
// the screen's right edge and its bottom edge 450 twips above the screen's
// bottom, worked out in twips (15 to the pixel) and divided back to whole
// pixels. `screen` is the screen's geometry in pixels, `window` the window's
// size in pixels; the result is the window's top left corner.
QPoint FloatingPromotionPlace(const QRect &screen, const QSize &window);
