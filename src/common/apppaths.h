#pragma once

#include <QString>

// Every file the program keeps lives under the application folder (the folder
// of the executable). The process entry computes it once; everything below
// receives it through this object, so logic can run on any folder.
class AppPaths
{
public:
    AppPaths() = default;
    explicit AppPaths(const QString &appDir);

    QString appDir() const { return m_appDir; }
    QString configPath() const;          // <app>/config.ini
    QString dataDir() const;             // <app>/app
    QString dataFile(const QString &name) const; // <app>/app/<name>
    QString flashDir() const;            // <app>/flash
    QString flashFile(const QString &gameId) const; // <app>/flash/<id>.swf
    QString webDataDir() const;          // <app>/webdata: the web profile's storage

private:
    QString m_appDir;
};
