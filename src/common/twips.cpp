#include "common/twips.h"

#include <cmath>

int TwipsToPixels(int twips)
{
    return static_cast<int>(std::nearbyint(static_cast<double>(twips) / TWIPS_PER_PIXEL));
}

int PixelsToTwips(int pixels)
{
    return pixels * TWIPS_PER_PIXEL;
}
