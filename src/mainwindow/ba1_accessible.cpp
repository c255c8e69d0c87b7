// What a screen reader hears of the main window: the caption and tab buttons,
// the loading panel and the names of the pages' panes. The game page and the
// list page describe their own controls.
#include "mainwindow/ba1.h"

#include "mainwindow/gamepagepart.h"
#include "mainwindow/listpagepart.h"

#include "portal/gui/webpane.h"
#include "resources/skincaptions.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "shell/gui/skinaccessible.h"

#include <QPointer>

using SkinAccessible::Describe;
using SkinAccessible::Kind;

void BA1::DescribeControls()
{
    // The window goes before its controls: a question asked meanwhile finds
    // nothing selected and nothing on.
    const QPointer<BA1> self(this);
    for (int index : {Caption::Minimise, Caption::Maximise, Caption::Close, Caption::Menu}) {
        ImageButton *button = m_npc[index];
        Describe(button, Kind::Button, [button] { return button->toolTipText(); });
    }
    ImageButton *pin = m_npc[Caption::OnTop];
    Describe(pin, Kind::Toggle, [pin] { return pin->toolTipText(); }, [self] { return self && self->OnTop(); });
    for (int slot = 0; slot < 5; ++slot) {
        const int index = Caption::TABS[slot];
        Describe(m_npc[index], Kind::Tab, [slot] { return QString::fromUtf8(SkinCaptions::TABS[slot]); },
                 [self, index] { return self && self->m_state.CurrentTab == index; });
    }
    // The loading panel's picture and text both load the portal's page again.
    Describe(m_P2, Kind::Button, [] { return QStringLiteral("重新连接"); });
    Describe(m_webe, Kind::Link);

    m_Web1->setAccessibleName(QString::fromUtf8(SkinCaptions::TABS[0]));
    m_Web4->setAccessibleName(QString::fromUtf8(SkinCaptions::TABS[3]));
    m_Web5->setAccessibleName(QString::fromUtf8(SkinCaptions::TABS[4]));
    m_game->Web2()->setAccessibleName(QStringLiteral("游戏"));
    m_game->Webr()->setAccessibleName(QStringLiteral("游戏介绍"));
    m_list->Web3()->setAccessibleName(QStringLiteral("游戏列表"));
    m_adweb->setAccessibleName(QStringLiteral("推广"));
}
