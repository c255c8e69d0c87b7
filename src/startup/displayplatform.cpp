#include "startup/displayplatform.h"

DisplayChoice ChooseDisplayPlatform(const QByteArray &userChoice, bool xDisplayAnswers, bool waylandDisplaySet)
{
    DisplayChoice choice;
    if (!userChoice.trimmed().isEmpty())
        return choice;
    if (xDisplayAnswers) {
        choice.platform = "xcb";
    } else if (waylandDisplaySet) {
        choice.platform = "wayland";
    } else {
        choice.noDisplay = true;
        choice.message = QStringLiteral("Kavo游戏盒需要在图形桌面中运行：没有找到可用的显示"
                                        "（X11 的 DISPLAY 或 Wayland 的 WAYLAND_DISPLAY）。");
    }
    return choice;
}
