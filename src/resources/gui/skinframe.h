#pragma once

#include <QImage>
#include <QSize>

// The painted frame of a window `size` large, put together from the frame
// strip ppt(0) (`sheet`, SkinRects::FRAME_STRIP): its top `band` rows
// stretched across the window's top, the rows from there to 102 down its
// sides, rows 103..132 along its bottom, the corners unstretched; inside is
// the body colour. The main window takes the caption and the tab bar
// (SkinRects::TAB_BAR_ROWS), a dialog only the caption
// (SkinRects::CAPTION_BAR_ROWS). A null sheet gives the body colour alone.
// The skin generator's window pictures are painted by it too.
QImage SkinFrameImage(const QImage &sheet, QSize size, int band);
