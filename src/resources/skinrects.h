#pragma once

// The skin strips ppt(0)..ppt(12) by name, and where each picture stands in
// them. The skin generator draws at these places and the windows cut their
// frames and buttons from them, so a skin drawn anew always fits the windows.
// A picture with a hover state has it one picture width to its right
// (`Hover`), unless a strip of its own holds the hovered pictures.

#include <QRect>

// The strips, by what they hold; strip i of skin set h is the skin bitmap
// h * 100 + 101 + i.
namespace Strip
{
enum Index : int {
    Frame = 0,               // the window frame, laid out by SkinFrameImage
    CaptionButtons = 1,      // pin, menu, minimise, maximise, close
    CaptionButtonsHover = 2, // the same, hovered
    LeaveFullScreen = 3,
    Restore = 4,
    OnTop = 5,
    Tabs = 6,
    TabsSelected = 7,
    TabsHover = 8,
    Tools = 9,               // reload, favourite, screenshot, download, full screen
    ToolsHover = 10,
    StopMute = 11,           // stop and continue, mute and unmute
    SidePanel = 12,
    Count = 13
};
} // namespace Strip

namespace SkinRects
{
constexpr QRect Hover(const QRect &r)
{
    return r.translated(r.width(), 0);
}

// Frame: 100 x 133 pixels. Its top rows are the caption bar and below it, to
// row 96, the tab bar: the main window's frame takes both, a dialog's only
// the caption bar.
inline constexpr QSize FRAME_STRIP{100, 133};
inline constexpr int CAPTION_BAR_ROWS = 30;
inline constexpr int TAB_BAR_ROWS = 96;

// CaptionButtons and CaptionButtonsHover.
inline constexpr QRect CAPTION_PIN{0, 0, 21, 19};
inline constexpr QRect CAPTION_MENU{21, 0, 24, 19};
inline constexpr QRect CAPTION_MINIMISE{45, 0, 24, 19};
inline constexpr QRect CAPTION_MAXIMISE{69, 0, 24, 19};
inline constexpr QRect CAPTION_CLOSE{93, 0, 33, 19};
inline constexpr QSize CAPTION_STRIP{126, 19};

// Restore: the restore button of a maximised window.
inline constexpr QRect RESTORE{0, 0, 24, 19};
inline constexpr QSize RESTORE_STRIP{48, 19};

// OnTop: always on top, off ("置顶") and on ("取消置顶").
inline constexpr QRect ON_TOP_OFF{0, 0, 21, 19};
inline constexpr QRect ON_TOP_ON{42, 0, 21, 19};
inline constexpr QSize ON_TOP_STRIP{84, 19};

// Tabs, TabsSelected and TabsHover: five tabs side by side, in the order of
// the pages zz(0)..zz(4).
constexpr QRect Tab(int slot)
{
    return {77 * slot, 0, 77, 63};
}
inline constexpr QSize TAB_STRIP{385, 63};

// Tools and ToolsHover: reload, favourite, screenshot, download and full
// screen, in this order.
constexpr QRect ToolFrame(int k)
{
    return {45 * k, 0, 45, 25};
}
inline constexpr QSize TOOL_STRIP{225, 25};

// StopMute: stop and continue on the first row, mute and unmute on the second.
inline constexpr QRect STOP{0, 0, 45, 25};
inline constexpr QRect CONTINUE{90, 0, 45, 25};
inline constexpr QRect MUTE{0, 25, 45, 25};
inline constexpr QRect UNMUTE{90, 25, 45, 25};
inline constexpr QSize STOP_MUTE_STRIP{180, 50};

// SidePanel: the side panel button while the panel shows, and while it is hidden.
inline constexpr QRect SIDE_PANEL_SHOWN{0, 0, 26, 26};
inline constexpr QRect SIDE_PANEL_HIDDEN{0, 26, 26, 26};
inline constexpr QSize SIDE_PANEL_STRIP{52, 52};

// LeaveFullScreen.
inline constexpr QRect LEAVE_FULL_SCREEN{0, 0, 55, 20};
inline constexpr QSize LEAVE_FULL_SCREEN_STRIP{110, 20};
} // namespace SkinRects
