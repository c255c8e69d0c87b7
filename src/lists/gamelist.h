#pragma once

#include "common/apppaths.h"
#include "lists/listfile.h"

#include <QString>
#include <QStringList>

#include <optional>

// Changes to the three game lists (their files and format: listfile.h). Items
// are addressed by their 1-based line number, counting every line, also empty
// ones; the list pages use the same numbers.
//
// Every change writes the new list and its new page completely before either
// replaces the old one, so a page always describes its list: when either
// cannot be written (a full disk, a read-only folder) nothing changes, the
// list pane is not refreshed and the change returns false. A change that
// returns true is in place and synced to disk.

// Puts the record at the top, drops an older record with the same id (exact
// text) and lines without "|", keeps at most 100 old lines of "date_n.dat" and
// "date_c.dat" and 2000 of any other list, together with the list page.
// Returns false when the list file could not be read or the list and page
// could not be written; nothing is changed then.
bool AddGameRecord(const AppPaths &paths, const QString &name, const QString &gameId,
                   const QString &address, int kind, const QString &listFile);

// Removes one line, together with the page. A number outside the file removes
// nothing, but the rewrite still drops one trailing empty line. Returns false
// (nothing changed) when the list file could not be read or rewritten.
bool RemoveGameLine(const AppPaths &paths, const QString &listFile, int lineNumber);

// Rewrites an existing list file as one empty line, together with its page;
// a missing file is left missing (false), as is everything when the list and
// page could not be written.
bool ClearGameList(const AppPaths &paths, const QString &listFile);

// The fields of one line split at "|", or nothing when the file or the line
// does not exist.
std::optional<QStringList> ReadGameLine(const AppPaths &paths, const QString &listFile,
                                        int lineNumber);
