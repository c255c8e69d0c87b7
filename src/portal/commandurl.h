#pragma once

#include "common/apppaths.h"

#include <QString>

#include <optional>

// Pages ask the program for something by navigating to a command address.
// The pane cancels the navigation and performs the command. Scheme tests
// compare the first characters exactly, letter case included:
//
//   tuzoflash://<GameId>$$$<GameAddress>$$$<GameName>[/]   play a game
//   tuzojf://<GameId>$$$<GameAddress>$$$<GameName>[/]      play a points game
//   tuzo...                     from the game pane: handed on to the portal pane
//   open://<Index>[/]           from a list page: play the game on line Index
//   delk://<Index>[/]           from a list page: delete line Index
//
// GameName comes as the page escapes it ("%uXXXX", "%XX") and is stored that
// way; it is decoded only for display.

bool IsPlayCommand(const QString &url);        // "tuzoflash://"
bool IsPointsPlayCommand(const QString &url);  // "tuzojf://"
// "tuzojf://" anywhere in the text: the game toolbar refuses to download such
// a game even when the command starts otherwise (the download command itself
// looks only at the start, IsPointsPlayCommand).
bool NamesPointsGame(const QString &url);
bool IsForwardCommand(const QString &url);     // "tuzo"
bool IsOpenCommand(const QString &url);        // "open://"
bool IsDeleteCommand(const QString &url);      // "delk://"

struct PlayCommand
{
    QString gameId;       // field 0; empty when missing
    QString gameAddress;  // field 1; empty when missing
    QString gameName;     // field 2
    bool hasName = false; // false when field 2 is missing: the current name stays
    int kind = 1;         // record kind: 1 Flash game, 0 points game ("tuzojf://")
};

// Splits a play command. A "tuzojf://" command gives kind 0, anything else is
// read as "tuzoflash://" (kind 1). Every occurrence of the scheme text is
// removed, also inside the fields, then one trailing "/" is dropped and the
// rest split at "$$$"; fields after the third are ignored.
PlayCommand ParsePlayCommand(const QString &url);

// The command a list item sends to the portal pane: "tuzojf://" for kind "0",
// "tuzoflash://" otherwise, then id$$$address$$$name.
QString BuildPlayCommand(const QString &gameId, const QString &address, const QString &name,
                         const QString &kind);

// The page the game pane loads: the installed local player page
// "<installed>/app/flash.htm?<id>" when the downloaded copy exists, else the
// portal's player page for an address (one containing "http://") or for a portal number. Points games are
// always played from the portal, which keeps their score.
QString PlayerPageFor(const AppPaths &paths, const QString &portalBase, const PlayCommand &command);
// The portal's information page of the game, for the side panel.
QString GameInfoPageFor(const QString &portalBase, const PlayCommand &command);
// Text of the game title strip, with the name decoded for display.
QString GameTitleText(const QString &gameName);

// The decimal text of a whole number: surrounding white space and leading
// zeros go, a "+" or "-" sign is allowed, and the value must fit in 32 bits
// (the id the download list stores has the same range). "012" and " 12 " give
// "12"; "12abc", "1.5", "1e3", "0x10", "" and "99999999999" are no number.
std::optional<QString> WholeNumberText(const QString &text);

// Line number of a delete command: every "delk://" and every "/" removed, so
// "delk://1/2" names line 12. Nothing unless the rest is a whole number >= 1.
std::optional<int> DeleteCommandIndex(const QString &url);
// Line number of an open command: every "open://" removed and one trailing "/"
// dropped, so "open://3/" names line 3. Nothing unless the rest is a whole
// number >= 1.
std::optional<int> OpenCommandIndex(const QString &url);

// Puts a game just started at the top of the recent list, under the number
// value of its id, with the command's kind. A game id that is no whole number
// adds nothing (false), as does a list file that cannot be read or rewritten.
bool AddToRecentList(const AppPaths &paths, const PlayCommand &command, const QString &gameName);
