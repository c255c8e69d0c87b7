#pragma once

#include <QImage>
#include <QList>

// Review pictures for whoever changes the skin; not part of the program.
namespace SkinSheet
{
// Every bitmap at twice its size with its resource id.
QImage contactSheet(const QList<QImage> &strips);
// The main window put together from the bitmaps the way the program cuts them:
// portal page, game page with hovered buttons, and full-screen game.
QImage windowMockups(const QList<QImage> &strips);
}
