#include "common/apppaths.h"

#include <QDir>
#include <QFileInfo>

namespace
{
const QString EXECUTABLE_NAME = QStringLiteral("play");
const QString PACKAGE_NAME = QStringLiteral("kavo-gamebox");

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

// The package puts its command at <prefix>/bin/kavo-gamebox, a link to
// <prefix>/lib/kavo-gamebox/play.
QString packageCommandFor(const QString &executablePath)
{
    const QFileInfo exe(executablePath);
    const QString command = QDir::cleanPath(exe.absolutePath() + QStringLiteral("/../../bin/") + PACKAGE_NAME);
    const QString target = QFileInfo(command).canonicalFilePath();
    if (!target.isEmpty() && target == exe.canonicalFilePath())
        return command;
    return executablePath;
}
}

AppPaths::AppPaths(const QString &appDir)
    : AppPaths(appDir, appDir)
{
}

AppPaths::AppPaths(const QString &installedDir, const QString &dataRoot)
    : m_installedDir(cleanAbsolute(installedDir))
    , m_dataRoot(cleanAbsolute(dataRoot))
    , m_launcherPath(m_installedDir + QLatin1Char('/') + EXECUTABLE_NAME)
{
}

AppPaths AppPaths::ForExecutable(const QString &executablePath)
{
    const QString folder = QFileInfo(executablePath).absolutePath();
    const bool systemInstall = QFileInfo::exists(folder + QLatin1Char('/') + SYSTEM_INSTALL_MARKER);
    QString dataRoot = folder;
    if (systemInstall || !QFileInfo(folder).isWritable()) {
        const QString perUser = PerUserFolder(qEnvironmentVariable("XDG_DATA_HOME"),
                                              qEnvironmentVariable("HOME"));
        if (!perUser.isEmpty())
            dataRoot = perUser;
    }
    AppPaths paths(folder, dataRoot);
    paths.m_launcherPath = packageCommandFor(QFileInfo(executablePath).absoluteFilePath());
    return paths;
}

QString AppPaths::PerUserFolder(const QString &xdgDataHome, const QString &home)
{
    if (QDir::isAbsolutePath(xdgDataHome))
        return QDir::cleanPath(xdgDataHome + QLatin1Char('/') + PACKAGE_NAME);
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/.local/share/") + PACKAGE_NAME);
    return {};
}

QString AppPaths::installedAppDir() const
{
    return m_installedDir + QStringLiteral("/app");
}

QString AppPaths::installedAppFile(const QString &name) const
{
    return installedAppDir() + QLatin1Char('/') + name;
}

QString AppPaths::configPath() const
{
    return m_dataRoot + QStringLiteral("/config.ini");
}

QString AppPaths::dataDir() const
{
    return m_dataRoot + QStringLiteral("/app");
}

QString AppPaths::dataFile(const QString &name) const
{
    return dataDir() + QLatin1Char('/') + name;
}

QString AppPaths::flashDir() const
{
    return m_dataRoot + QStringLiteral("/flash");
}

QString AppPaths::flashFile(const QString &gameId) const
{
    return flashDir() + QLatin1Char('/') + gameId + QStringLiteral(".swf");
}

QString AppPaths::webDataDir() const
{
    return m_dataRoot + QStringLiteral("/webdata");
}
