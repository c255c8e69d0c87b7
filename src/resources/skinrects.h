#pragma once

// Where each button picture stands in the skin strips ppt(0)..ppt(12). The
// skin generator draws at these places and the main window cuts its buttons
// from them, so a skin drawn anew always fits the window. A picture with a
// hover state has it one picture width to its right (`Hover`), unless a strip
// of its own holds the hovered pictures (strips 2, 8 and 10).

#include <QRect>

namespace SkinRects
{
constexpr QRect Hover(const QRect &r)
{
    return r.translated(r.width(), 0);
}

// Strip 1 (caption buttons) and strip 2 (the same, hovered).
inline constexpr QRect CAPTION_PIN{0, 0, 21, 19};
inline constexpr QRect CAPTION_MENU{21, 0, 24, 19};
inline constexpr QRect CAPTION_MINIMISE{45, 0, 24, 19};
inline constexpr QRect CAPTION_MAXIMISE{69, 0, 24, 19};
inline constexpr QRect CAPTION_CLOSE{93, 0, 33, 19};
inline constexpr QSize CAPTION_STRIP{126, 19};

// Strip 4: the restore button of a maximised window.
inline constexpr QRect RESTORE{0, 0, 24, 19};
inline constexpr QSize RESTORE_STRIP{48, 19};

// Strip 5: always on top, off ("置顶") and on ("取消置顶").
inline constexpr QRect ON_TOP_OFF{0, 0, 21, 19};
inline constexpr QRect ON_TOP_ON{42, 0, 21, 19};
inline constexpr QSize ON_TOP_STRIP{84, 19};

// Strips 6 (tabs), 7 (the selected tab) and 8 (hovered): five tabs side by
// side, in the order of the pages zz(0)..zz(4).
constexpr QRect Tab(int slot)
{
    return {77 * slot, 0, 77, 63};
}
inline constexpr QSize TAB_STRIP{385, 63};

// Strips 9 and 10 (hovered): reload, favourite, screenshot, download and
// full screen, in this order.
constexpr QRect ToolFrame(int k)
{
    return {45 * k, 0, 45, 25};
}
inline constexpr QSize TOOL_STRIP{225, 25};

// Strip 11: stop and continue on the first row, mute and unmute on the second.
inline constexpr QRect STOP{0, 0, 45, 25};
inline constexpr QRect CONTINUE{90, 0, 45, 25};
inline constexpr QRect MUTE{0, 25, 45, 25};
inline constexpr QRect UNMUTE{90, 25, 45, 25};
inline constexpr QSize STOP_MUTE_STRIP{180, 50};

// Strip 12: the side panel button while the panel shows, and while it is hidden.
inline constexpr QRect SIDE_PANEL_SHOWN{0, 0, 26, 26};
inline constexpr QRect SIDE_PANEL_HIDDEN{0, 26, 26, 26};
inline constexpr QSize SIDE_PANEL_STRIP{52, 52};

// Strip 3: leaving full screen.
inline constexpr QRect LEAVE_FULL_SCREEN{0, 0, 55, 20};
inline constexpr QSize LEAVE_FULL_SCREEN_STRIP{110, 20};
} // namespace SkinRects
