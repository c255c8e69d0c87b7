#pragma once

// Twips: the unit of a window's own size, of the saved size keys and of the
// designed places (1/1440 inch, 15 to a pixel at 96 dots per inch). Every
// size in twips becomes pixels through TwipsToPixels, so a size the program
// saved (PixelsToTwips) reads back as the same pixels.
inline constexpr int TWIPS_PER_PIXEL = 15;

// The nearest whole pixel (11050 twips are 737 pixels).
int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);
