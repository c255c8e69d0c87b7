#pragma once

#include "common/apppaths.h"

#include <QString>

#include <optional>

// The list page of the main window shows one of three lists; the page keeps
// the ListTab it shows, and the list commands act on its list file.

struct ListTab
{
    QString page;         // list page in <app>/app, shown in the list pane
    QString listFile;
    QString caption;      // header text
    QString clearCaption; // clear link text
};

// Tabs 0 (recently played), 1 (favourites) and 2 (downloads); nothing else.
std::optional<ListTab> ListTabAt(int index);

// Caption of the program's own questions.
QString PromptTitle();
// The question asked before a list is cleared.
QString ClearQuestionFor(const QString &listFile);

// Empties a list file that exists and regenerates its page; for the downloads
// list then deletes every .swf file in the folder flash, ignoring failures.
// A missing list (or one that could not be rewritten) changes nothing and
// deletes no file (false).
bool ClearList(const AppPaths &paths, const QString &listFile);

// Deletes line `index` of a list together with its page. For the downloads
// list the game's downloaded copy (named by the line's id) goes too, after the
// list changed and only when the id is a plain decimal number. False when the
// list could not be read or rewritten; nothing is deleted then.
bool DeleteListItem(const AppPaths &paths, const QString &listFile, int index);

// What the window does after an open command.
struct OpenListResult
{
    enum class Action {
        Nothing,         // no record on that line
        Navigate,        // send `command` to the portal pane
        MissingDownload, // show MissingDownloadText(); the record is already removed
    };
    Action action = Action::Nothing;
    QString command;  // play command for the portal pane (Navigate)
    QString gameName; // the new current game name (Navigate, MissingDownload)
};

// Reads line `index` of a list. A line that is not a record ("|"-separated)
// does nothing. A downloads-list record whose file (named by the record's
// address) is gone is removed from the list.
OpenListResult OpenListItem(const AppPaths &paths, const QString &listFile, int index);
QString MissingDownloadText();

// Result of adding the game in the player to the favourites.
struct FavouriteResult
{
    enum class Outcome {
        NoGame,      // show NoGameText()
        OtherScheme, // say nothing
        Added,       // show FavouriteAddedText(gameName)
        NotAdded,    // id is no whole number, or the list could not be written; say nothing
    };
    Outcome outcome = Outcome::NoGame;
    QString gameName; // the new current game name (Added, NotAdded)
};

// Records the current game in "date_c.dat": kind 0 for a "tuzojf://" game,
// 1 for a "tuzoflash://" game, under the number value of its id. The command's
// third field becomes the current name; without one the current name stays.
FavouriteResult AddCurrentGameToFavourites(const AppPaths &paths, const QString &currentGameUrl,
                                           const QString &currentGameName);
QString NoGameText();
QString FavouriteAddedText(const QString &gameName);

// The list page's context menu is offered only on a game link.
bool IsListGameLink(const QString &href);
// The open (or delete) command for the item whose link the context menu
// recorded; nothing when the recorded link holds no "//".
std::optional<QString> ContextCommandUrl(const QString &contextGameLink, bool open);
