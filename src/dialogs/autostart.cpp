#include "dialogs/autostart.h"

#include "common/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{
const QString ENTRY_FILE_NAME = QStringLiteral("Kavo游戏盒.desktop");

// Backslash escapes of a desktop-entry string value.
QString escapeStringValue(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default: out += c; break;
        }
    }
    return out;
}
} // namespace

namespace Autostart
{
QString FolderFor(const QString &xdgConfigHome, const QString &home)
{
    if (QDir::isAbsolutePath(xdgConfigHome))
        return QDir::cleanPath(xdgConfigHome + QStringLiteral("/autostart"));
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/.config/autostart"));
    return {};
}

QString Folder()
{
    return FolderFor(qEnvironmentVariable("XDG_CONFIG_HOME"), qEnvironmentVariable("HOME"));
}

QString EntryPath(const QString &folder)
{
    return folder + QLatin1Char('/') + ENTRY_FILE_NAME;
}

QString ExecArgument(const QString &argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        switch (c.unicode()) {
        case '"':
        case '`':
        case '$':
        case '\\':
            quoted += QLatin1Char('\\');
            quoted += c;
            break;
        case '%':
            quoted += QStringLiteral("%%");
            break;
        default:
            quoted += c;
            break;
        }
    }
    quoted += QLatin1Char('"');
    return escapeStringValue(quoted);
}

QByteArray EntryText(const QString &command)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Kavo游戏盒\n"
                                        "Exec=%1\n"
                                        "Terminal=false\n")
                             .arg(ExecArgument(command));
    return text.toUtf8();
}

bool Write(const QString &folder, const QString &command)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    return SafeFile::writeWhole(EntryPath(folder), EntryText(command));
}

bool Remove(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QString path = EntryPath(folder);
    if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink())
        return true;
    return QFile::remove(path);
}
} // namespace Autostart
