#pragma once

// What each index of the main window's button arrays stands for. The arrays
// keep their numbering (the caption's npc(0)..npc(9), the game toolbar's
// c_z(0)..c_z(8)); code names the button, never the number.

// The game toolbar c_z(i).
namespace Tool
{
enum Index : int {
    StopContinue = 0, // "停止" while the game runs, "继续" while it is paused
    Reload = 1,
    Mute = 2,         // "静音", "取消" while the sound is off
    Favourite = 3,
    Screenshot = 4,
    Download = 5,
    FullScreen = 6,
    SidePanel = 7,    // "隐藏" while the side panel shows, "显示" while it is hidden
    LeaveFullScreen = 8, // on the title strip, only in full-screen mode
    Count = 9
};
}

// The caption's buttons npc(i): the window commands and the five tabs.
namespace Caption
{
enum Index : int {
    Minimise = 0,
    Maximise = 1, // also restores, and leaves full-screen mode
    Close = 2,
    FifthTab = 3, // page zz(4)
    OnTop = 4,    // "置顶", "取消置顶" while the window stays on top
    Menu = 5,
    PortalTab = 6, // page zz(0)
    GameTab = 7,   // page zz(1)
    ListTab = 8,   // page zz(2)
    FourthTab = 9, // page zz(3)
    Count = 10
};

// The tabs in the order of their pages zz(0)..zz(4).
inline constexpr Index TABS[5] = {PortalTab, GameTab, ListTab, FourthTab, FifthTab};

// The page slot of a tab button, -1 for a caption button.
constexpr int TabSlot(int index)
{
    for (int slot = 0; slot < 5; ++slot)
        if (TABS[slot] == index)
            return slot;
    return -1;
}
} // namespace Caption
