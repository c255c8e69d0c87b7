#pragma once

#include "common/apppaths.h"

#include <QUrl>
#include <QWebEngineProfile>

// The web profile every pane of the program shares: one per application
// folder, created by the main window before its panes and deleted after them.
//
//  - Its cookies, web storage (the Flash games' saves live there), IndexedDB
//    and HTTP cache are kept on disk in <app>/webdata, so game saves and portal
//    logins survive a restart; the cache is capped.
//  - It answers the program's own scheme (see portal/localcontent.h): the
//    panes reach the program's local files only through it.
class ProgramProfile final : public QWebEngineProfile
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgramProfile)

public:
    // The engine's disk cache keeps no entry larger than an eighth of its
    // size: at 200 MB the Flash runtime's WebAssembly module (14.3 MB) and
    // any game up to 25 MB stay cached between plays.
    static constexpr qint64 HttpCacheLimit = 200 * 1024 * 1024;

    explicit ProgramProfile(const AppPaths &paths, QObject *parent = nullptr);
    ~ProgramProfile() override;

    const AppPaths &paths() const { return m_paths; }

    // The address a pane loads for a local path inside the application
    // folder: the program's door; an empty URL for any other path.
    QUrl urlForLocalPath(const QString &localPath) const;

private:
    AppPaths m_paths;
};

// Whether the user asked for the web engine's diagnostics on standard error
// (KAVO_ENGINE_LOG set to anything but empty or 0). Without it the engine
// reports neither its set-up nor its log lines below fatal errors; the
// program's own messages are never held back.
bool EngineLogWanted();

// The web engine's command-line arguments the program runs with (its process
// model, its log level unless `engineLog`), followed by the user's own
// (QTWEBENGINE_CHROMIUM_FLAGS), which win.
QByteArray EngineArguments(const QByteArray &userArguments, bool engineLog);

// Registers the program's scheme with the web engine, sets the engine's
// arguments (EngineArguments) and how much it reports (EngineLogWanted), and
// chooses how the panes draw (portal/gui/panedrawing.h). It must run before
// the application object exists; the process entry calls it, and a static
// initializer of the library does too, so test programs get it as well.
void RegisterProgramSchemes();
