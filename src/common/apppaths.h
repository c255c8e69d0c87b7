#pragma once

#include <QString>

// Where the program reads its installed files and where it keeps what it
// writes. The process entry decides once (ForExecutable); everything below
// asks this object, so logic can run on any folder.
//
// Portable folder (the build tree, a copied folder): one folder holds the
// executable `play`, the installed files of app/ (i.gif, flash.htm, the Flash
// runtime in ruffle/) and everything the program stores beside them
// (config.ini, the list files and pages in app/, the downloaded games in
// flash/).
//
// Installed package: the executable's folder is read-only and shared by every
// user. Each user's data lives in a per-user folder with the same layout
// ($XDG_DATA_HOME/kavo-gamebox), while the installed files are still read
// from the executable's folder. Nothing is ever written there.
class AppPaths
{
public:
    AppPaths() = default;
    // A portable folder: installed files and stored data in one place.
    explicit AppPaths(const QString &appDir);
    // Installed files in `installedDir`, everything written under `dataRoot`.
    AppPaths(const QString &installedDir, const QString &dataRoot);

    // The paths of the running executable at `executablePath`. Its folder is
    // used for everything when this process may write into it, unless the
    // folder carries SYSTEM_INSTALL_MARKER (laid down by the package, so that
    // even root does not write into it); otherwise the data go to PerUserFolder
    // of the environment's XDG_DATA_HOME and HOME.
    static AppPaths ForExecutable(const QString &executablePath);
    // $XDG_DATA_HOME/kavo-gamebox when XDG_DATA_HOME is an absolute path (a
    // relative one is ignored, as the XDG base directory rules say), else
    // $HOME/.local/share/kavo-gamebox. Empty when neither is usable.
    static QString PerUserFolder(const QString &xdgDataHome, const QString &home);
    static inline const QString SYSTEM_INSTALL_MARKER = QStringLiteral("system-install");

    // True when stored data live apart from the installed files.
    bool isPerUser() const { return m_dataRoot != m_installedDir; }

    // Read-only installed files.
    QString installedDir() const { return m_installedDir; } // folder of the executable
    QString installedAppDir() const;                         // <installed>/app
    QString installedAppFile(const QString &name) const;     // <installed>/app/<name>
    // The command that starts this installation, for desktop and autostart
    // entries: the package's command on PATH when it leads to this executable,
    // else the executable itself.
    QString launcherPath() const { return m_launcherPath; }

    // Everything the program writes.
    QString appDir() const { return m_dataRoot; } // root of the stored data
    QString configPath() const;                   // <data>/config.ini
    QString dataDir() const;                      // <data>/app
    QString dataFile(const QString &name) const;  // <data>/app/<name>
    QString flashDir() const;                     // <data>/flash
    QString flashFile(const QString &gameId) const; // <data>/flash/<id>.swf
    QString webDataDir() const;                   // <data>/webdata: the web profile's storage

private:
    QString m_installedDir;
    QString m_dataRoot;
    QString m_launcherPath;
};
