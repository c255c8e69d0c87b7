#pragma once

#include <QByteArray>
#include <QString>

// The program's entry in the desktop's autostart folder: a desktop entry file
// "Kavo游戏盒.desktop" that the session starts at log-in (the XDG autostart
// rules). It exists while the option "start with the desktop" is on.
namespace Autostart
{
// $XDG_CONFIG_HOME/autostart when XDG_CONFIG_HOME is an absolute path (a
// relative one is ignored, as the XDG base directory rules say), else
// $HOME/.config/autostart. Empty when neither is usable.
QString FolderFor(const QString &xdgConfigHome, const QString &home);
// The same from this process's environment.
QString Folder();
QString EntryPath(const QString &folder);

// One argument of an Exec line: quoted whole, with the characters the
// Desktop Entry format reserves inside quotes escaped, "%" doubled, and the
// result escaped as a desktop-entry string. Any path survives a parser that
// follows the format (spaces, quotes, "$", backslashes, Chinese, line breaks).
QString ExecArgument(const QString &argument);
// The entry (UTF-8, LF line ends) that starts `command`, an executable's full path.
QByteArray EntryText(const QString &command);

// Writes the entry into `folder` (created when missing) through a temporary
// file, so a crash leaves the old entry or the new one. False on failure.
bool Write(const QString &folder, const QString &command);
// Removes the entry; true when it is gone afterwards (also when there was none).
bool Remove(const QString &folder);
} // namespace Autostart
