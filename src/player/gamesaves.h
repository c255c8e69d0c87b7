#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>
#include <utility>

// A Flash game's saves, without windows or web pages.
//
// The runtime keeps each save of a movie in the web storage of the page that
// plays it, under "<movie host>/<movie path>/<save name>" (the path without
// its leading and trailing "/", query and fragment dropped; "localhost" for a
// file), and the value is the save's .sol file in Base64. Online the page is
// the portal's and the movie its address; offline the local player page
// loads the downloaded copy under "<id>.swf" beside itself.
//
// A .sol file: 0x00 0xBF, the length of the rest (32 bits, high byte first),
// "TCSO", 00 04 00 00 00 00, the save's name (16-bit length, UTF-8), the
// encoding (32 bits: 0 for AMF0, 3 for AMF3), then until the end one entry
// after another: its name (AMF0: 16-bit length and UTF-8; AMF3: a string),
// its value, one zero byte.
namespace GameSaves
{
// A save larger than this is no game's save (Flash asked the player at 100 KB).
inline constexpr qsizetype MAX_SAVE_BYTES = 4 * 1024 * 1024;

// "<host>/<path>/": the storage key of every save of the movie at `movieUrl`
// starts with this.
QString keyPrefix(const QUrl &movieUrl);
// The address the portal's player page loads a game from: the game's own
// address when it is one (http), otherwise the portal's "games/<id>.swf"
// (app/app.asp?id=N plays that; the downloads list keeps only the id).
QUrl onlineMovieUrl(const QString &portalBase, const QString &address, const QString &gameId);
// Where the local player page `playerPage` loads the downloaded copy of `gameId`.
QUrl localMovieUrl(const QUrl &playerPage, const QString &gameId);

// A save name the runtime accepts: not empty, none of ~%&\;:"',<>?# and
// space, no control character, no "/"-separated part starting with ".".
bool isValidSaveName(const QString &name);

struct Sol {
    QString name;
    quint32 encoding = 0; // 0: AMF0, 3: AMF3
    // Each entry's name as stored (AMF0: the UTF-8 bytes; AMF3: the encoded
    // string) and its value's bytes as stored.
    QList<std::pair<QByteArray, QByteArray>> entries;
};

enum class SolProblem { None, TooLarge, NotASave, Damaged, Unsupported };

// Reads a .sol file; every value is walked to its end, so a file cut short,
// with a wrong length, a bad marker or a reference to nothing is Damaged.
// An AMF3 object with its own external form cannot be walked: Unsupported.
std::optional<Sol> decodeSol(QByteArrayView bytes, SolProblem *problem = nullptr);
// The file as decodeSol read it (the length computed anew).
QByteArray encodeSol(const Sol &sol);

// The name an exported save's file gets: "<gameId>-<save name>.sol", with
// "/" of the name written as "#".
QString exportFileName(const QString &gameId, const QString &saveName);
// Whether the file at `path` names another game than `gameId`: an exported
// file of another id ("<digits>-...sol"), or a file of another Flash player
// that sits in a folder of another movie ("<digits>.swf").
bool namesOtherGame(const QString &path, const QString &gameId);

// The message box text for a file that cannot be imported.
QString problemText(SolProblem problem);
QString otherGameText();
}
