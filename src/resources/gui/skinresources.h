#pragma once

#include <QIcon>
#include <QImage>
#include <QRgb>

// The skin bitmap stored under `resourceId` (set h holds h * 100 + 101 .. 113;
// the program ships set 0), as the 256-colour image it was stored in. A null
// image when there is no such bitmap.
QImage SkinBitmap(int resourceId);

// The close pictures in the top right corner of the promotion windows: 11 x 11
// pixels for the floating window, 51 x 21 for the recommendation window.
enum class PromotionClose { Floating, Recommendation };
QImage PromotionCloseImage(PromotionClose which);

// The application icon at every size it is drawn in (16 .. 256 pixels): the
// window's icon and the notification area's. The desktop's icon theme gets
// the same pictures from the package.
QIcon AppIcon();

// The marker beside the selected tab of a tab column (the list page, the
// settings dialog); the arrow sits on the line of the tab's caption, below
// its empty first line.
QImage TabMarkerPicture();
// The small triangle before the game's title and the list's name.
QImage BulletPicture();

// Colours the skin's button pictures are drawn on. The panels that host the
// buttons fill themselves with these, so the pictures sit without a seam.
// The caption and tab buttons need none: their backgrounds repeat the rows of
// the frame bitmap they cover.
namespace SkinColors
{
// Frame around the pages and the status line.
inline constexpr QRgb Body = 0xffe9f0f8;
// One-pixel outlines of the panels on it (tab columns, pages).
inline constexpr QRgb PanelBorder = 0xffa9c1de;
// Game toolbar bar `Picd`, behind `c_z(0)`..`c_z(7)`.
inline constexpr QRgb Toolbar = 0xfff3f7fc;
// Title strips of the game page (`picg`, behind `c_z(8)`) and the list page (`pic4`).
inline constexpr QRgb TitleStrip = 0xffdbe7f5;
// Window title `ni_name` on the blue caption bar.
inline constexpr QRgb TitleText = 0xffffffff;
// Text on the light panels (status line, list labels, toolbar status).
inline constexpr QRgb PanelText = 0xff2a3a4f;
}
