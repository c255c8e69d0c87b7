#include "services/promotionplace.h"

#include "common/twips.h"

namespace
{
constexpr int RIGHT_GAP_TWIPS = 80;
constexpr int BOTTOM_GAP_TWIPS = 450;
}

QPoint FloatingPromotionPlace(const QRect &screen, const QSize &window)
{
    const int left = screen.width() * TWIPS_PER_PIXEL - window.width() * TWIPS_PER_PIXEL - RIGHT_GAP_TWIPS;
    const int top = screen.height() * TWIPS_PER_PIXEL - window.height() * TWIPS_PER_PIXEL - BOTTOM_GAP_TWIPS;
    return screen.topLeft() + QPoint(left / TWIPS_PER_PIXEL, top / TWIPS_PER_PIXEL);
}
