// Command URLs of the panes: playing a game from the portal or the game pane,
// opening and deleting list items from the list page.
#include "mainwindow/ba1.h"

#include "mainwindow/gamepagepart.h"
#include "mainwindow/listpagepart.h"

#include "portal/commandurl.h"
#include "portal/gui/webpane.h"
#include "portal/listcommands.h"
#include "shell/gui/messagebox.h"


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
    if (!m_game->SidePanelShown())
        c_z_click(Tool::SidePanel);

    const PlayCommand command = ParsePlayCommand(URL);
    if (command.hasName)
        m_state.CurrentGameName = command.gameName;

    m_gameNotReached.clear();
    m_gameInfoNotReached.clear();
    m_game->Web2()->show();
    m_game->Web2()->Navigate(PlayerPageFor(m_paths, m_portalBase, command));
    m_game->ShowTitle(GameTitleText(m_state.CurrentGameName));
    m_game->Webr()->Navigate(GameInfoPageFor(m_portalBase, command));
    m_state.CurrentGameUrl = URL;

    if (!m_game->SidePanelShown())
        c_z_click(Tool::SidePanel);
    // A new game always starts running, also after the last one was stopped.
    if (!m_game->GameRunning())
        ResumeGame();
    m_game->ShowStatus(QString());
    LayoutGamePane();

    AddToRecentList(m_paths, command, m_state.CurrentGameName);
    npc_Click(Caption::GameTab);
    // The game takes the keys at once, without a click into it. Another
    // program's window keeps the keyboard: the pane gets it when this window
    // is activated again.
    m_game->Web2()->setFocus();
}

void BA1::Web2_BeforeNavigate2(const QString &URL, bool *Cancel)
{
    // A page in the player may start another game; the portal pane decides.
    if (!IsForwardCommand(URL)) {
        // The game's page tried again over the note of a game that could not
        // be reached (its link, the toolbar's reload): its information too.
        if (!m_gameNotReached.isEmpty())
            RetryGameInfo();
        return;
    }
    *Cancel = true;
    m_Web1->Navigate(URL);
}

void BA1::Web3_BeforeNavigate2(const QString &URL, bool *Cancel)
{
    if (IsDeleteCommand(URL)) {
        *Cancel = true;
        const QString listFile = m_list->Shown().listFile;
        if (const auto index = DeleteCommandIndex(URL))
            DeleteListItem(m_paths, listFile, *index);
        return;
    }
    if (!IsOpenCommand(URL))
        return;
    *Cancel = true;

    const QString listFile = m_list->Shown().listFile;
    const auto index = OpenCommandIndex(URL);
    if (!index)
        return;
    const OpenListResult item = OpenListItem(m_paths, listFile, *index);
    switch (item.action) {
    case OpenListResult::Action::Nothing:
        break;
    case OpenListResult::Action::MissingDownload:
        m_state.CurrentGameName = item.gameName;
        ShowMessage(this, MissingDownloadText(), ApplicationTitle());
        break;
    case OpenListResult::Action::Navigate:
        m_state.CurrentGameName = item.gameName;
        m_Web1->Navigate(item.command);
        break;
    }
}
