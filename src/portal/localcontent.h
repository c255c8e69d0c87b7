#pragma once

#include "common/apppaths.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

// The panes read the program's own local files through one door, the scheme
// "kavo" with the single host "app" (origin kavo://app), never through
// file://. The door answers, read-only, for exactly three sets of files:
//
//   /app/flash.htm, /app/i.gif, /app/ruffle/<path>,  installed files of app
//   /app/fonts/<name>.otf                            (AppPaths::installedAppDir)
//   /app/n.htm, /app/c.htm, /app/d.htm               the list pages (dataDir)
//   /flash/<digits>.swf                              downloaded games (flashDir)
//
// For an installed program the installed files and the stored data live in
// two folders; the door joins them into the one tree above, so the pages'
// relative addresses (i.gif beside a list page, ../flash/ from the player
// page) work the same as in a portable folder.
//
// Anything else is not found: other names and extensions, "..", "." or
// empty segments, back slashes, hidden names, and every file whose real
// location (symbolic links followed) is not inside the folder of its set.
// A page served by the door may still reach the network like any web page;
// it cannot read other local files (file:// stays closed to every pane).
//
// The door answers only the program and its own pages: a request the program
// starts itself (a pane's navigation, which has no initiator) or one made by
// a page of the door's own origin. A request of any other page (the portal,
// an advertisement, a page a pane was led to, an opaque origin) is refused
// like an unknown path, whatever way the page chose to ask (XMLHttpRequest,
// an element, a worker, a redirect of a web server).

// The Flash runtime and the game fonts reach every page through a door of
// their own (flash/flashdoor.h), which serves them from the installed files
// through Resolve.
namespace LocalContent
{
inline constexpr char SCHEME[] = "kavo";
inline constexpr char HOST[] = "app";

struct File
{
    QString path;          // the file to send
    QByteArray mimeType;   // its content type
};

// The file the door sends for a decoded URL path ("/app/flash.htm"), or
// nothing.
std::optional<File> Resolve(const AppPaths &paths, const QString &urlPath);

// A request as the web engine hands it to the door.
struct Request
{
    QByteArray method;
    QUrl url;
    QUrl initiator; // origin of the page that asked; empty for the program's own navigation
};

// Whether a request from this initiator may be answered: no initiator, or
// the door's own origin kavo://app.
bool IsOwnInitiator(const QUrl &initiator);

// The whole decision of the door: the file it sends for a request, or
// nothing (GET only, the door's host, an own initiator, a file Resolve
// allows).
std::optional<File> Answer(const AppPaths &paths, const Request &request);

// The door's address of a local path inside the folder of the stored data or
// of the installed files, with its query ("<app>/app/flash.htm?12" ->
// kavo://app/app/flash.htm?12); an empty URL for any other path.
QUrl UrlForLocalPath(const AppPaths &paths, const QString &localPath);

// Whether a URL is one of the door's ("kavo:" in any letter case).
bool IsDoorUrl(const QString &url);
} // namespace LocalContent
