#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class AppPaths;

// A second start of the program hands its command line to the instance that
// already runs on the same application folder for the same user, and ends.
// These are the window-free parts of that hand-off: the name both processes
// meet under, and the one message that travels between them.

// The meeting name of the instance of `folder` (as given; the caller resolves
// links) for `user`. Short and made of [a-z0-9-] only, so it fits every local
// socket path; different folders or users give different names.
QString SingleInstanceName(const QString &folder, const QString &user);
// The name for the application folder of `paths` (links resolved) and the
// user running this process.
QString SingleInstanceNameFor(const AppPaths &paths);

// The command line as one text, the way a shell would take it back: words
// joined by spaces, a word that is empty or holds a space, tab, quote or
// backslash written in double quotes with '"' and '\' escaped by '\'.
QString CommandLineText(const QStringList &arguments);

// The message: a fixed tag, the length of the text in bytes (4 bytes, big
// endian) and the text in UTF-8. A text longer than MaxHandOffBytes is cut
// (never in the middle of a character).
constexpr qsizetype MaxHandOffBytes = 64 * 1024;
QByteArray EncodeHandOff(const QString &commandLine);

struct HandOffMessage
{
    enum class State {
        Incomplete, // the bytes so far are the start of a message
        Complete,   // commandLine holds the text; `consumed` bytes were used
        Invalid     // not a message (wrong tag, length over the limit)
    };
    State state = State::Incomplete;
    QString commandLine;
    qsizetype consumed = 0;
};
// Reads a message from the start of `bytes`, which may arrive in pieces.
HandOffMessage DecodeHandOff(const QByteArray &bytes);

// The running instance's answer once it has taken a message.
constexpr char HandOffAccepted = '\x06';
