// Commands of the list page: clearing a list, adding the current game to the
// favourites, and the list page's menu entries.
#include "mainwindow/ba1.h"

#include "portal/gui/webpane.h"
#include "portal/listcommands.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/messagebox.h"

void BA1::shan_name_Click()
{
    const QString listFile = ListFileFromClearCaption(shan_name->text());
    if (ShowMessage(this, ClearQuestionFor(listFile), PromptTitle(), QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // Rewriting the list regenerates its page, which reloads the list pane.
    ClearList(m_paths, listFile);
}

void BA1::shoucang()
{
    const FavouriteResult result = AddCurrentGameToFavourites(m_paths, CurrentGameUrl, CurrentGameName);
    switch (result.outcome) {
    case FavouriteResult::Outcome::NoGame:
        ShowMessage(this, NoGameText(), ApplicationTitle());
        break;
    case FavouriteResult::Outcome::OtherScheme:
        break;
    case FavouriteResult::Outcome::Added:
        CurrentGameName = result.gameName;
        TrayBalloon(FavouriteAddedText(CurrentGameName));
        break;
    case FavouriteResult::Outcome::NotAdded:
        // Nothing was added, so nothing is announced.
        CurrentGameName = result.gameName;
        break;
    }
}

void BA1::CCC_Click()
{
    if (const auto url = ContextCommandUrl(ContextGameLink, true))
        Web3->Navigate2(*url);
}

void BA1::ddd_Click()
{
    if (const auto url = ContextCommandUrl(ContextGameLink, false))
        Web3->Navigate2(*url);
}
