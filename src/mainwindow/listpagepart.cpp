#include "mainwindow/listpagepart.h"

#include "mainwindow/windowkit.h"
#include "lists/listpage.h"
#include "portal/gui/webpane.h"
#include "portal/listcommands.h"
#include "resources/gui/skinresources.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/picturebox.h"
#include "shell/gui/skinaccessible.h"

#include <QLabel>
#include <QPointer>

using namespace WindowKit;

namespace
{
const QColor PANEL_BORDER = QColor::fromRgb(SkinColors::PanelBorder);
const QColor LIST_TAB(0xf5, 0xf5, 0xf5);
const QColor SELECTED_TAB(0xff, 0xff, 0xff);
const QColor LINK_TEXT(0x1f, 0x5f, 0xaf);

void setBackground(QWidget *w, QColor colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
}
} // namespace

ListPagePart::ListPagePart(QWidget *page, QWebEngineProfile *profile, const AppPaths &paths)
    : QObject(page)
    , m_page(page)
    , m_paths(paths)
{
    const QColor panelText = QColor::fromRgb(SkinColors::PanelText);

    m_pic4 = new PictureBox(page, QColor::fromRgb(SkinColors::TitleStrip));
    m_Im2 = new PictureBox(m_pic4);
    m_Im2->setPicture(BulletPicture());
    m_lcname = makeLabel(QString(), m_pic4, panelText);
    m_shan_name = new ClickLabel(QString(), m_pic4);
    setTextColour(m_shan_name, LINK_TEXT);
    QFont linkFont = m_shan_name->font();
    linkFont.setUnderline(true);
    m_shan_name->setFont(linkFont);
    m_shan_name->setCursor(Qt::PointingHandCursor);

    m_Pic6 = new PictureBox(page, PANEL_BORDER);
    m_Pic3 = new PictureBox(m_Pic6, LIST_TAB);
    static const char *const captions[3] = {"/n最近玩过游戏", "/n我收藏的游戏", "/n已下载的游戏"};
    for (int i = 0; i < 3; ++i) {
        ClickLabel *tab = m_lc[i] = new ClickLabel(QString::fromUtf8(captions[i]), m_Pic3);
        tab->setGeometry(0, 33 * i, 148, 32);
        tab->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        tab->setAutoFillBackground(true);
        setTextColour(tab, panelText);
        tab->setCursor(Qt::PointingHandCursor);
        connect(tab, &ClickLabel::clicked, this, [this, i] { Q_EMIT tabClicked(i); });
        connect(tab, &ClickLabel::mouseMoved, this, &ListPagePart::pointerMoved);
        const QPointer<ListPagePart> self(this);
        SkinAccessible::Describe(tab, SkinAccessible::Kind::Tab, {},
                                 [self, i] { return self && self->m_shown.listFile == ListTabAt(i)->listFile; });
    }
    SkinAccessible::Describe(m_shan_name, SkinAccessible::Kind::Link);
    connect(m_shan_name, &ClickLabel::clicked, this, &ListPagePart::clearClicked);
    m_Im1 = new PictureBox(m_Pic3);
    m_Im1->setPicture(TabMarkerPicture());
    m_Im1->move(22, 10);
    m_Im1->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_Im1->raise();

    m_Pic7 = new PictureBox(page, PANEL_BORDER);
    m_Pic5 = new PictureBox(m_Pic7, Qt::white);
    m_Web3 = new WebPane(profile, m_Pic5);

    for (PictureBox *panel : {m_pic4, m_Pic3})
        connect(panel, &PictureBox::mouseMoved, this, &ListPagePart::pointerMoved);

    // Every rewritten list page reloads the list pane; the connection ends
    // with the pane.
    connect(ListPageEvents::instance(), &ListPageEvents::pageChanged, m_Web3, [this] { m_Web3->Refresh(); });
}

void ListPagePart::lc_Click(int index)
{
    const std::optional<ListTab> tab = ListTabAt(index);
    if (!tab)
        return;
    m_shown = *tab;
    m_Web3->Navigate(m_paths.dataFile(tab->page));
    m_lcname->setText(tab->caption);
    m_lcname->adjustSize();
    m_shan_name->setText(tab->clearCaption);
    m_shan_name->adjustSize();

    m_Im1->move(22, m_lc[index]->y() + 10);
    for (ClickLabel *label : m_lc) {
        setBackground(label, LIST_TAB);
        SkinAccessible::Changed(label);
    }
    setBackground(m_lc[index], SELECTED_TAB);
}

void ListPagePart::Layout(int windowWidth)
{
    const float w = m_page->width();
    const float h = m_page->height();

    place(m_pic4, 0, 0, w, 25);
    m_lcname->move(168, 7);
    m_shan_name->move(px(windowWidth - m_shan_name->width() - 40), 7);
    m_Im2->move(m_lcname->x() - 10, 9);
    place(m_Pic6, 0, 25, 150, h - 25);
    place(m_Pic3, 1, 1, 148, m_Pic6->height() - 1);
    for (int i = 0; i < 3; ++i) {
        QString caption = m_lc[i]->text();
        caption.replace(QStringLiteral("/n"), QStringLiteral("\r\n"));
        m_lc[i]->setText(caption);
        place(m_lc[i], 0, 33 * i, m_Pic3->width(), 32);
    }
    place(m_Pic7, 156, 25, w - 156, h - 25);
    place(m_Pic5, 1, 1, m_Pic7->width() - 1, m_Pic7->height() - 1);
    place(m_Web3, -4, -4, m_Pic5->width() + 6, m_Pic5->height() + 6);
}
