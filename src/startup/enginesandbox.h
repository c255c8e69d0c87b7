#pragma once

#include <QByteArray>
#include <QString>

// The web engine's renderer sandbox cannot run as root, and the engine then
// refuses to start unless its sandbox is switched off. The program never
// switches it off by itself: as root it shows web content only when the user
// did, with the engine's own switches.

// Whether the user switched the engine's sandbox off: the variable
// QTWEBENGINE_DISABLE_SANDBOX is set (any value, as the engine reads it), or
// the engine's arguments (QTWEBENGINE_CHROMIUM_FLAGS, separated by blanks)
// hold "--no-sandbox".
bool SandboxSwitchedOff(bool disableVariableSet, const QByteArray &chromiumFlags);

// The message on standard error when the program refuses to run as root,
// in Chinese, the program's language.
QString RootWithoutSandboxMessage();
