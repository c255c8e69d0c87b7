#pragma once

#include "common/apppaths.h"

#include <QString>

#include <optional>

// Downloaded games live in <app>/flash as "<GameId>.swf". Ids arrive in
// addresses that any page can make up, so an id names a file only when it is
// a plain decimal number: anything else ("../../x", "1/../x", "%2e%2e", "")
// has no downloaded copy, and nothing outside the folder flash is ever probed
// or deleted.

// Non-empty and ASCII digits only.
bool IsPlainDecimal(const QString &text);

// <app>/flash/<id>.swf for a plain decimal id, whether or not it exists.
std::optional<QString> DownloadedCopyPath(const AppPaths &paths, const QString &gameId);

// A downloaded copy exists as a file.
bool HasDownloadedCopy(const AppPaths &paths, const QString &gameId);

// Deletes the downloaded copy of a plain decimal id, and what a broken-off
// download of it kept; false for any other id or when there was nothing to
// delete.
bool DeleteDownloadedCopy(const AppPaths &paths, const QString &gameId);

// Deletes every "*.swf" file (any letter case) directly in the folder flash,
// also of games no list names, and what broken-off downloads kept there;
// sub-folders and other files stay. Failures are skipped. Returns the number
// of files deleted.
int DeleteAllDownloadedCopies(const AppPaths &paths);
