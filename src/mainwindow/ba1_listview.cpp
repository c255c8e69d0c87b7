// The list page's tabs: which of the three lists the list pane shows.
#include "mainwindow/ba1.h"

#include "portal/gui/webpane.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/picturebox.h"

#include <QLabel>

namespace
{
struct ListTab
{
    const char *page;
    const char *header;
    const char *clearLink;
};

const ListTab LIST_TABS[3] = {
    {"n.htm", "当前列表 >> 最近玩过的游戏：", "清空全部玩过的游戏"},
    {"c.htm", "当前列表 >> 我收藏的游戏：", "清空全部收藏的游戏"},
    {"d.htm", "当前列表 >> 已下载的游戏：", "清空全部下载的游戏"},
};

void setBackground(QWidget *w, QColor colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
}
} // namespace

void BA1::lc_Click(int index)
{
    if (index < 0 || index > 2)
        return;
    const ListTab &tab = LIST_TABS[index];
    Web3->Navigate(m_paths.dataFile(QString::fromLatin1(tab.page)));
    lcname->setText(QString::fromUtf8(tab.header));
    lcname->adjustSize();
    shan_name->setText(QString::fromUtf8(tab.clearLink));
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
