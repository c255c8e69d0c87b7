#pragma once

#include <QString>

// Texts of the notification-area icon. The icon's fields hold a fixed number
// of characters including a terminator, so a longer text keeps its first
// (field - 1) characters; a character made of two UTF-16 units is never cut
// in half.

constexpr int TrayTipField = 128;
constexpr int BalloonTextField = 256;
constexpr int BalloonTitleField = 64;

QString CutToTrayField(const QString &text, int field);

// The icon's tip for a window caption.
QString TrayTipText(const QString &caption);

struct BalloonContent
{
    QString title;
    QString text;
};
// A balloon: the fixed title "Kavo游戏盒提示:" and the caller's text, both cut.
BalloonContent MakeBalloon(const QString &text);
