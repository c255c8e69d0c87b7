#include "shell/gui/roundregion.h"

#include "shell/framegeometry.h"

#include <QRegion>
#include <QWidget>

void ApplyRoundRegion(QWidget *form)
{
    QRegion region;
    for (const QRect &r : FrameGeometry::RoundRegionRects(form->width(), form->height()))
        region += r;
    form->setMask(region);
}
