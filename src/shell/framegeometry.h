#pragma once

#include "common/twips.h"

#include <QList>
#include <QRect>
#include <QSize>

// Window-free pieces of the main window's frame: its smallest size, the edge
// band and the rounded window region.
namespace FrameGeometry
{
// Smallest size of a normal (not maximised) main window, in twips.
inline constexpr int MIN_WIDTH_TWIPS = 11050;
inline constexpr int MIN_HEIGHT_TWIPS = 7815;
// Width of the band along every edge that resizes the window.
inline constexpr int EDGE_BAND = 2;

// Smallest size of a normal window on a work area of the given size: the
// design's smallest size, cut down where the work area is smaller (a small
// screen, or a large scale factor) so that the whole window still fits. It
// stays a pixel short of the work area: a window manager neither resizes nor
// maximises a window whose smallest and largest sizes are the same.
// An empty work area (no screen known) leaves the design's size.
QSize MinimumSizeOn(const QSize &workArea);
// A normal window size that fits on the work area: no side longer than the
// work area's, none shorter than the smallest size there.
QSize FitOn(const QSize &size, const QSize &workArea);
// A window of a fixed design size (a dialog, a promotion window) placed at
// `frame` on a work area: no side longer than the work area's, and moved
// the least it takes to lie wholly inside it. An empty work area leaves the
// frame as it is.
QRect FitInside(const QRect &frame, const QRect &workArea);

// Where a point of the client area lies; the values are the system's hit codes.
enum class EdgeZone {
    Interior = 0,
    Left = 10,
    Right = 11,
    Top = 12,
    TopLeft = 13,
    TopRight = 14,
    Bottom = 15,
    BottomLeft = 16,
    BottomRight = 17,
};

// (x, y) in client pixels of a w x h window. The band includes x == 2 and
// x == w - 2; points outside the window fall into the zone they face.
EdgeZone ClassifyEdge(int x, int y, int w, int h);

// The rounded region of a window of w x h pixels: the rounded rectangle from
// (0, 0) to (w + 1, h + 1) with a 4 x 4 corner ellipse, as rectangles.
QList<QRect> RoundRegionRects(int w, int h);
} // namespace FrameGeometry
