#pragma once

// A temporary folder for what a web profile keeps its storage in (an
// application folder, a per-user data folder). It goes with the object, as
// a QTemporaryDir does, and once more when the process ends: the web engine
// writes some of a profile's files (its network state, its preferences)
// from its own threads after the profile is gone and so brings a removed
// folder back, while by the end of the process the engine has shut down.
// Delete the profile (the window) first all the same.

#include <QTemporaryDir>

class TempFolder : public QTemporaryDir
{
public:
    TempFolder() = default;
    ~TempFolder();
    Q_DISABLE_COPY_MOVE(TempFolder)
};
