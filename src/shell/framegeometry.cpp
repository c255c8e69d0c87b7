#include "shell/framegeometry.h"

#include <algorithm>

namespace FrameGeometry
{
QSize MinimumSizeOn(const QSize &workArea)
{
    const QSize design(TwipsToPixels(MIN_WIDTH_TWIPS), TwipsToPixels(MIN_HEIGHT_TWIPS));
    if (workArea.width() <= 0 || workArea.height() <= 0)
        return design;
    return design.boundedTo(workArea - QSize(1, 1));
}

QSize FitOn(const QSize &size, const QSize &workArea)
{
    const QSize floor = MinimumSizeOn(workArea);
    if (workArea.width() <= 0 || workArea.height() <= 0)
        return size.expandedTo(floor);
    return size.boundedTo(workArea).expandedTo(floor);
}

QRect FitInside(const QRect &frame, const QRect &workArea)
{
    if (workArea.width() <= 0 || workArea.height() <= 0)
        return frame;
    QRect fitted(frame.topLeft(), frame.size().boundedTo(workArea.size()));
    fitted.moveLeft(std::clamp(fitted.left(), workArea.left(), workArea.right() + 1 - fitted.width()));
    fitted.moveTop(std::clamp(fitted.top(), workArea.top(), workArea.bottom() + 1 - fitted.height()));
    return fitted;
}

EdgeZone ClassifyEdge(int x, int y, int w, int h)
{
    const bool left = x <= EDGE_BAND;
    const bool right = !left && x >= w - EDGE_BAND;
    const bool top = y <= EDGE_BAND;
    const bool bottom = !top && y >= h - EDGE_BAND;
    if (left)
        return top ? EdgeZone::TopLeft : bottom ? EdgeZone::BottomLeft : EdgeZone::Left;
    if (right)
        return top ? EdgeZone::TopRight : bottom ? EdgeZone::BottomRight : EdgeZone::Right;
    if (top)
        return EdgeZone::Top;
    if (bottom)
        return EdgeZone::Bottom;
    return EdgeZone::Interior;
}

QList<QRect> RoundRegionRects(int w, int h)
{
    const int rw = w + 1;
    const int rh = h + 1;
    if (rw < 4 || rh < 4)
        return {QRect(0, 0, std::max(rw, 0), std::max(rh, 0))};
    // A 4 x 4 ellipse leaves two pixels off the outer row and one off the next.
    return {
        QRect(2, 0, rw - 4, 1),
        QRect(1, 1, rw - 2, 1),
        QRect(0, 2, rw, rh - 4),
        QRect(1, rh - 2, rw - 2, 1),
        QRect(2, rh - 1, rw - 4, 1),
    };
}
} // namespace FrameGeometry
