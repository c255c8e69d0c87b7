#pragma once

#include "common/apppaths.h"
#include "portal/localcontent.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUrl>

#include <optional>

// The Flash runtime's door for web pages: the scheme "kavoflash" with the
// single host "app", which every page of the program's panes may read (the
// plug-in was part of the machine; the runtime is part of the program):
//
//   kavoflash://app/ruffle/<file>      the program's copy of the runtime
//                                      (AppPaths::installedAppFile("ruffle"))
//   kavoflash://app/fonts/<name>.otf   the game fonts (app/fonts/)
//       GET only, from any page: the program's own files, nothing of the
//       user's. Other names, "..", sub-folders: not found.
//
//   kavoflash://app/fetch?t=<token>&m=<GET|HEAD>&u=<address>
//       a movie or a picture of a host that sends no cross-origin consent,
//       fetched by the program for a page of the game pane (the token is
//       that pane's). Only http and https addresses; the answer is given only
//       when its first bytes are a Flash movie or a picture (PNG, JPEG,
//       GIF), anything else is refused. An answer of the host that is no
//       success is passed on as its status alone, without a body.
namespace FlashDoor
{
inline constexpr char SCHEME[] = "kavoflash";
inline constexpr char HOST[] = "app";

// "kavoflash://app/", the base of every address of the door.
QString Base();
// The addresses of the game fonts, as the runtime's settings name them.
QStringList FontUrls();

// The door's decision for a request of its runtime or font files.
std::optional<LocalContent::File> AnswerFile(const AppPaths &paths, const LocalContent::Request &request);

// A request for a movie of another host, read from a door address.
struct FetchRequest
{
    QString token;
    QUrl target;       // http or https, with a host
    bool head = false; // HEAD: the status and the type only
};
// Nothing for any other address, a method other than GET, a missing token,
// or a target that is not an absolute http(s) address with a host and no
// user name.
std::optional<FetchRequest> ParseFetch(const LocalContent::Request &request);
// The door address of a fetch (the page script builds the same).
QUrl FetchUrl(const QString &token, const QUrl &target, bool head);

// What the first bytes of an answer are.
enum class Content
{
    NeedMore, // fewer than JUDGE_BYTES and the answer goes on
    Movie,
    Picture,
    Other,
};
inline constexpr qsizetype JUDGE_BYTES = 8;
// `complete` says that the head is the whole answer. `size` is the whole
// answer's size when known (-1 otherwise); a movie whose header claims more
// than the size allows is no movie.
Content Judge(QByteArrayView head, bool complete, qint64 size = -1);
// The content type the door gives an answer it passes on.
QByteArray MimeTypeOf(QByteArrayView head);
// The content type that carries only a host's status (404, 500, ...).
QByteArray StatusMimeType(int status);

// Redirects the door follows for one fetch, each to http(s) only.
inline constexpr int MAX_REDIRECTS = 5;
} // namespace FlashDoor
