#pragma once

#include <QByteArray>
#include <QImage>

namespace IndexedBmp
{
// Reduces an opaque image to 256 colours without dithering. Colours that cover
// several pixels (backgrounds, gradient rows) keep their exact value, so pieces
// cut from different bitmaps meet without a seam; the rare antialiasing shades
// share the remaining entries.
QImage toIndexed8(const QImage &image);

// A Windows bitmap file: file header, 40-byte info header, 256-entry colour
// table, bottom-up rows padded to four bytes, 8 bits per pixel, uncompressed.
QByteArray encode(const QImage &indexed8);
}
