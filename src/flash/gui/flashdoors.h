#pragma once

#include "common/apppaths.h"

#include <QString>

class QWebEnginePage;
class QWebEngineProfile;

// The Flash runtime's door (flash/flashdoor.h) on a web profile: the
// program's runtime and fonts for every page, and the fetch of movies of
// hosts without cross-origin consent for pages of the game pane.
namespace FlashDoors
{
// Registers the door's scheme with the web engine (secure, readable across
// origins). Must run before the application object exists; the program's
// scheme registration calls it.
void RegisterScheme();

// Answers the door on the profile, for the files of `paths`.
void Install(QWebEngineProfile *profile, const AppPaths &paths);

// A new key to the door's fetch, valid while `page` lives; empty when the
// page's profile has no door.
QString AllowFetch(QWebEnginePage *page);
} // namespace FlashDoors
