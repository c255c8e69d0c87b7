#include "download/dlrules.h"

namespace DlRules
{
namespace
{
bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

qsizetype lastSeparator(const QString &text)
{
    return qMax(text.lastIndexOf(u'/'), text.lastIndexOf(u'\\'));
}
}

QString lastPart(const QString &text, const QString &separator)
{
    if (separator.isEmpty())
        return text;
    const qsizetype pos = text.lastIndexOf(separator, -1, Qt::CaseSensitive);
    return pos < 0 ? text : text.mid(pos + separator.size());
}

QString joinPath(const QString &folder, const QString &name)
{
    if (!folder.isEmpty() && isSeparator(folder.back()))
        return folder + name;
    return folder + u'/' + name;
}

SplitPath splitSaveFilePath(const QString &path)
{
    const qsizetype pos = lastSeparator(path);
    if (pos < 0)
        return {QString(), path};
    return {path.left(pos + 1), path.mid(pos + 1)};
}

QString redirectFileTitle(const QString &redirectUrl)
{
    const qsizetype pos = lastSeparator(redirectUrl);
    return pos < 0 ? redirectUrl : redirectUrl.mid(pos + 1);
}

QString localPath(const QString &path)
{
    QString result = path;
    result.replace(u'\\', u'/');
    return result;
}

bool renameOnRedirectReading(bool failOnRedirect, bool storedRenameOnRedirect)
{
    return !failOnRedirect && storedRenameOnRedirect;
}

QString redirectedText(const QString &newUrl)
{
    return QStringLiteral("Redirected to ") + newUrl;
}

QString zeroBytesText()
{
    return QStringLiteral("Zero bytes retrieved");
}

QString writeFailedText(const QString &reason, const QString &saveFileName)
{
    return reason + QStringLiteral(" [") + saveFileName + u']';
}

float progressFraction(qint64 bytesRead, qint64 bytesMax)
{
    if (bytesMax <= 0)
        return 0.0f;
    return float(double(bytesRead) / double(bytesMax));
}
}
