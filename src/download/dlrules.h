#pragma once

#include <QByteArrayView>
#include <QString>

// Small rules of the download control that need no network and no widgets:
// how target paths are split and joined, what the redirect rename produces,
// the error numbers and their texts, and the progress fraction.
namespace DlRules
{
// Error numbers passed with DLError.
enum ErrorNumber {
    ErrorStartFailed = 1,   // the transfer could not be started
    ErrorRedirected = 2,    // the server redirected while redirects fail
    ErrorZeroBytes = 3,     // the transfer completed without any data
    ErrorWriteFailed = 4,   // the target file could not be written
    ErrorTransfer = 99      // the transfer reported an error (or stalled)
};

// Text after the last occurrence of `separator` (case-sensitive); the whole
// text when it does not occur.
QString lastPart(const QString &text, const QString &separator);

// Folder, then "/" unless the folder already ends in a separator ("/" or
// "\"), then the name.
QString joinPath(const QString &folder, const QString &name);

struct SplitPath {
    QString folder; // up to and including the last separator; empty if none
    QString title;  // the text after the last separator
};
// Splits a full target path written to SaveFilePath. Both "/" and "\" count
// as separators; the folder keeps the text exactly as written.
SplitPath splitSaveFilePath(const QString &path);

// The file name a redirected download is saved under: the last segment of
// the redirect target (query included), "/" and "\" both ending a segment.
QString redirectFileTitle(const QString &redirectUrl);

// The path handed to the file system: "\" read as "/".
QString localPath(const QString &path);

// RenameOnRedirect as read: only when redirects are allowed at all.
bool renameOnRedirectReading(bool failOnRedirect, bool storedRenameOnRedirect);

QString redirectedText(const QString &newUrl);  // "Redirected to " + URL
QString zeroBytesText();                         // "Zero bytes retrieved"
QString writeFailedText(const QString &reason, const QString &saveFileName);

// BytesRead / BytesMax, or 0 when the size is unknown (0 or less).
float progressFraction(qint64 bytesRead, qint64 bytesMax);

// Bytes of a body that FlashMovieBody needs to see.
inline constexpr qsizetype FLASH_HEADER_SIZE = 8;
inline constexpr qint64 MAX_FLASH_MOVIE = qint64(1) << 30;
// Whether a received body of `size` bytes that starts with `head` is a Flash
// movie: the signature "FWS" (plain), "CWS" (zlib) or "ZWS" (LZMA), a
// version from 1 to 64, and a length field (the movie's size unpacked, at
// most MAX_FLASH_MOVIE) that fits: a plain movie has at least that many bytes
// (trailing data is left alone), a packed one unpacks to no less than it
// holds, less a little for the packing's own overhead. A web page, an empty
// body, a truncated plain movie and random bytes all fail.
bool isFlashMovie(QByteArrayView head, qint64 size);
QString notFlashMovieText(); // "Not a Flash movie"
}
