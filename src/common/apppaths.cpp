#include "common/apppaths.h"

#include <QDir>

AppPaths::AppPaths(const QString &appDir)
    : m_appDir(QDir::cleanPath(QDir(appDir).absolutePath()))
{
}

QString AppPaths::configPath() const
{
    return m_appDir + QStringLiteral("/config.ini");
}

QString AppPaths::dataDir() const
{
    return m_appDir + QStringLiteral("/app");
}

QString AppPaths::dataFile(const QString &name) const
{
    return dataDir() + QLatin1Char('/') + name;
}

QString AppPaths::flashDir() const
{
    return m_appDir + QStringLiteral("/flash");
}

QString AppPaths::flashFile(const QString &gameId) const
{
    return flashDir() + QLatin1Char('/') + gameId + QStringLiteral(".swf");
}

QString AppPaths::webDataDir() const
{
    return m_appDir + QStringLiteral("/webdata");
}
