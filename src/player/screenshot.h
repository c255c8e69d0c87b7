#pragma once

#include <QByteArray>
#include <QString>

// Window-free parts of the game-pane screenshot: where the bitmap goes and how
// it is written.

// The user's desktop folder from the XDG user directories, always ending in
// "/".
QString DesktopFolder();

// A whole number from 100 to 999 as text, e.g. "537".
QString RandomNumberText();

// The folder name for a game's screenshots: the game name decoded from the
// portal's escapes (see common/scriptunescape.h), without "\", "/"
// and NUL characters, leading and trailing blanks trimmed. Empty when nothing
// usable is left, which includes "." and "..", so that the folder is always a
// direct child of the desktop.
QString ScreenshotFolderName(const QString &gameName);

// desktopFolder + folderName + "/" + numberText + ".bmp"; desktopFolder ends
// in "/" (see DesktopFolder()), folderName is already cleaned.
QString ScreenshotFilePath(const QString &desktopFolder, const QString &folderName,
                           const QString &numberText);

// Writes encoded bitmap bytes to `path`, creating its folder first; an
// existing file is replaced whole. False when nothing could be written.
bool WriteBitmapFile(const QByteArray &bitmap, const QString &path);

#ifdef QT_GUI_LIB
#include <QBuffer>
#include <QImage>

// Saves `image` as a Windows bitmap (.bmp) at `path`; see WriteBitmapFile().
// Only code that links the GUI library sees this.
inline bool SaveBitmap(const QImage &image, const QString &path)
{
    if (image.isNull())
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // Opaque 24-bit bitmaps open everywhere; a pane grab has no useful alpha.
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP"))
        return false;
    return WriteBitmapFile(bytes, path);
}
#endif // QT_GUI_LIB
