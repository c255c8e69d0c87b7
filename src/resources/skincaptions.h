#pragma once

// The words the skin's pictures carry. The skin generator draws them into the
// strips, and the main window reads them out as its buttons' names to screen
// readers, so a reader hears what the picture shows.

namespace SkinCaptions
{
// The tabs, in the order of their pages zz(0)..zz(4).
inline constexpr const char *TABS[5] = {"游戏首页", "正在游戏", "我的游戏", "网页游戏", "单机游戏"};
// The strips Tools and ToolsHover: reload, favourite, screenshot, download and full screen.
inline constexpr const char *TOOLS[5] = {"刷新", "收藏", "截图", "下载", "全屏"};
// The strip LeaveFullScreen.
inline constexpr const char *LEAVE_FULL_SCREEN = "退出全屏";
} // namespace SkinCaptions
