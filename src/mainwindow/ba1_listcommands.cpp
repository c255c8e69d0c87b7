// Commands of the list page: which list it shows, clearing a list, adding the
// current game to the favourites, and the list page's menu entries.
#include "mainwindow/ba1.h"

#include "mainwindow/listpagepart.h"

#include "portal/gui/webpane.h"
#include "portal/listcommands.h"
#include "shell/gui/messagebox.h"

void BA1::lc_Click(int index)
{
    m_list->lc_Click(index);
}

void BA1::lc_MouseMove()
{
    unsetCursor();
}

void BA1::shan_name_Click()
{
    const QString listFile = m_list->Shown().listFile;
    if (ShowMessage(this, ClearQuestionFor(listFile), PromptTitle(), QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // Rewriting the list regenerates its page, which reloads the list pane.
    ClearList(m_paths, listFile);
}

void BA1::shoucang()
{
    const FavouriteResult result = AddCurrentGameToFavourites(m_paths, m_state.CurrentGameUrl, m_state.CurrentGameName);
    switch (result.outcome) {
    case FavouriteResult::Outcome::NoGame:
        ShowMessage(this, NoGameText(), ApplicationTitle());
        break;
    case FavouriteResult::Outcome::OtherScheme:
        break;
    case FavouriteResult::Outcome::Added:
        m_state.CurrentGameName = result.gameName;
        TrayBalloon(FavouriteAddedText(m_state.CurrentGameName));
        break;
    case FavouriteResult::Outcome::NotAdded:
        // Nothing was added, so nothing is announced.
        m_state.CurrentGameName = result.gameName;
        break;
    }
}

void BA1::CCC_Click()
{
    if (const auto url = ContextCommandUrl(m_state.ContextGameLink, true))
        m_list->Web3()->Navigate2(*url);
}

void BA1::ddd_Click()
{
    if (const auto url = ContextCommandUrl(m_state.ContextGameLink, false))
        m_list->Web3()->Navigate2(*url);
}
