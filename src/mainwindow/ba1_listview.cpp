// The list page's tabs: which of the three lists the list pane shows.
#include "mainwindow/ba1.h"

#include "portal/gui/webpane.h"
#include "portal/listcommands.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/picturebox.h"

#include <QLabel>

namespace
{
void setBackground(QWidget *w, QColor colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
}
} // namespace

void BA1::lc_Click(int index)
{
    const std::optional<ListTab> tab = ListTabAt(index);
    if (!tab)
        return;
    Web3->Navigate(m_paths.dataFile(tab->page));
    lcname->setText(tab->caption);
    lcname->adjustSize();
    shan_name->setText(tab->clearCaption);
    shan_name->adjustSize();

    Im1->move(22, lc[index]->y() + 10);
    for (ClickLabel *label : lc)
        setBackground(label, QColor(0xf5, 0xf5, 0xf5));
    setBackground(lc[index], QColor(0xff, 0xff, 0xff));
}

void BA1::lc_MouseMove()
{
    unsetCursor();
}
