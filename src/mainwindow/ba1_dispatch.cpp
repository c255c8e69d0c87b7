// Command URLs of the panes: playing a game from the portal or the game pane,
// opening and deleting list items from the list page.
#include "mainwindow/ba1.h"

#include "portal/commandurl.h"
#include "portal/gui/webpane.h"
#include "portal/listcommands.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/messagebox.h"

#include <QLabel>

namespace
{
const QString SIDE_PANEL_SHOWN = QStringLiteral("隐藏");
const QString GAME_RUNNING = QStringLiteral("停止");
}

void BA1::Web1_BeforeNavigate2(const QString &URL, bool *Cancel)
{
    // Points games come the same way: the portal links them with
    // "tuzojf://", and the list page sends them back here. They are played
    // from the portal, which keeps their score.
    if (!IsPlayCommand(URL) && !IsPointsPlayCommand(URL))
        return;
    *Cancel = true;

    // The toolbar ignores this while no game was ever loaded; the second
    // call below then shows the panel.
    if (c_z[7]->toolTipText() != SIDE_PANEL_SHOWN)
        c_z_click(7);

    const PlayCommand command = ParsePlayCommand(URL);
    if (command.hasName)
        CurrentGameName = command.gameName;

    Web2->show();
    Web2->Navigate(PlayerPageFor(m_paths, m_portalBase, command));
    yxname->setText(GameTitleText(CurrentGameName));
    yxname->adjustSize();
    Webr->Navigate(GameInfoPageFor(m_portalBase, command));
    CurrentGameUrl = URL;

    if (c_z[7]->toolTipText() != SIDE_PANEL_SHOWN)
        c_z_click(7);
    // A new game always starts running, also after the last one was stopped.
    if (c_z[0]->toolTipText() != GAME_RUNNING)
        ResumeGame();
    lblCount->setText(QString());
    LayoutGamePane();

    AddToRecentList(m_paths, command, CurrentGameName);
    npc_Click(7);
    // The game takes the keys at once, without a click into it. Another
    // program's window keeps the keyboard: the pane gets it when this window
    // is activated again.
    Web2->setFocus();
}

void BA1::Web2_BeforeNavigate2(const QString &URL, bool *Cancel)
{
    // A page in the player may start another game; the portal pane decides.
    if (!IsForwardCommand(URL))
        return;
    *Cancel = true;
    Web1->Navigate(URL);
}

void BA1::Web3_BeforeNavigate2(const QString &URL, bool *Cancel)
{
    if (IsDeleteCommand(URL)) {
        *Cancel = true;
        const QString listFile = ListFileFromCaption(lcname->text());
        if (const auto index = DeleteCommandIndex(URL))
            DeleteListItem(m_paths, listFile, *index);
        return;
    }
    if (!IsOpenCommand(URL))
        return;
    *Cancel = true;

    const QString listFile = ListFileFromCaption(lcname->text());
    const auto index = OpenCommandIndex(URL);
    if (!index)
        return;
    const OpenListResult item = OpenListItem(m_paths, listFile, *index);
    switch (item.action) {
    case OpenListResult::Action::Nothing:
        break;
    case OpenListResult::Action::MissingDownload:
        CurrentGameName = item.gameName;
        ShowMessage(this, MissingDownloadText(), ApplicationTitle());
        break;
    case OpenListResult::Action::Navigate:
        CurrentGameName = item.gameName;
        Web1->Navigate(item.command);
        break;
    }
}
