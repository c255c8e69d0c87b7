#include "player/screenshot.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include "common/safefile.h"
#include "common/scriptunescape.h"

QString DesktopFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString RandomNumberText()
{
    return QString::number(QRandomGenerator::global()->bounded(100, 1000));
}

QString ScreenshotFolderName(const QString &gameName)
{
    // The portal sends names escaped ("%u98CE%u8F66"); the folder takes the
    // name the player reads, and what the decoding brings is cleaned too.
    QString name = UnescapeText(gameName);
    name.remove(QLatin1Char('\\'));
    name.remove(QLatin1Char('/'));
    name.remove(QChar(0));
    // Blanks only, as typed names carry them; other white space stays.
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && name.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && name.at(end - 1) == QLatin1Char(' '))
        --end;
    name = name.mid(begin, end - begin);
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    return name;
}

QString ScreenshotFilePath(const QString &desktopFolder, const QString &folderName,
                           const QString &numberText)
{
    return desktopFolder + folderName + QLatin1Char('/') + numberText + QLatin1String(".bmp");
}

bool WriteBitmapFile(const QByteArray &bitmap, const QString &path)
{
    if (bitmap.isEmpty() || path.isEmpty())
        return false;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    return SafeFile::writeWhole(path, bitmap);
}
