#include "portal/commandurl.h"

#include "common/scriptunescape.h"
#include "lists/gamelist.h"
#include "portal/downloadedcopy.h"

#include <QStringList>

#include <limits>

namespace
{
const QString PLAY_SCHEME = QStringLiteral("tuzoflash://");
const QString POINTS_SCHEME = QStringLiteral("tuzojf://");
const QString OPEN_SCHEME = QStringLiteral("open://");
const QString DELETE_SCHEME = QStringLiteral("delk://");
const QString FIELD_SEPARATOR = QStringLiteral("$$$");

std::optional<qint32> wholeNumber(const QString &text)
{
    QStringView digits = QStringView(text).trimmed();
    bool negative = false;
    if (!digits.isEmpty() && (digits.front() == QLatin1Char('+') || digits.front() == QLatin1Char('-'))) {
        negative = digits.front() == QLatin1Char('-');
        digits = digits.mid(1);
    }
    if (digits.isEmpty())
        return std::nullopt;
    const qint64 limit = negative ? -qint64(std::numeric_limits<qint32>::min())
                                  : qint64(std::numeric_limits<qint32>::max());
    qint64 value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > limit)
            return std::nullopt;
    }
    return qint32(negative ? -value : value);
}

std::optional<int> lineIndex(const QString &text)
{
    const auto number = wholeNumber(text);
    if (!number || *number < 1)
        return std::nullopt;
    return *number;
}
}

bool IsPlayCommand(const QString &url)
{
    return url.startsWith(PLAY_SCHEME);
}

bool IsPointsPlayCommand(const QString &url)
{
    return url.startsWith(POINTS_SCHEME);
}

bool NamesPointsGame(const QString &url)
{
    return url.contains(POINTS_SCHEME);
}

bool IsForwardCommand(const QString &url)
{
    return url.startsWith(QLatin1String("tuzo"));
}

bool IsOpenCommand(const QString &url)
{
    return url.startsWith(OPEN_SCHEME);
}

bool IsDeleteCommand(const QString &url)
{
    return url.startsWith(DELETE_SCHEME);
}

PlayCommand ParsePlayCommand(const QString &url)
{
    PlayCommand command;
    const bool points = IsPointsPlayCommand(url);
    command.kind = points ? 0 : 1;

    QString rest = url;
    rest.remove(points ? POINTS_SCHEME : PLAY_SCHEME);
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);

    const QStringList fields = rest.split(FIELD_SEPARATOR);
    command.gameId = fields.value(0);
    command.gameAddress = fields.value(1);
    if (fields.size() > 2) {
        command.gameName = fields.at(2);
        command.hasName = true;
    }
    return command;
}

QString BuildPlayCommand(const QString &gameId, const QString &address, const QString &name,
                         const QString &kind)
{
    const QString &scheme = kind == QLatin1String("0") ? POINTS_SCHEME : PLAY_SCHEME;
    return scheme + gameId + FIELD_SEPARATOR + address + FIELD_SEPARATOR + name;
}

QString PlayerPageFor(const AppPaths &paths, const QString &portalBase, const PlayCommand &command)
{
    if (command.kind != 0 && HasDownloadedCopy(paths, command.gameId))
        return paths.installedAppFile(QStringLiteral("flash.htm")) + QLatin1Char('?') + command.gameId;
    if (command.gameAddress.contains(QLatin1String("http://")))
        return portalBase + QStringLiteral("flash.htm?") + command.gameAddress;
    return portalBase + QStringLiteral("app/app.asp?id=") + command.gameAddress;
}

QString GameInfoPageFor(const QString &portalBase, const PlayCommand &command)
{
    return portalBase + QStringLiteral("app/flash_info.asp?id=") + command.gameId;
}

QString GameTitleText(const QString &gameName)
{
    return QStringLiteral("当前：在线小游戏 >> ") + UnescapeText(gameName) + QStringLiteral("：");
}

std::optional<QString> WholeNumberText(const QString &text)
{
    const auto number = wholeNumber(text);
    if (!number)
        return std::nullopt;
    return QString::number(*number);
}

std::optional<int> DeleteCommandIndex(const QString &url)
{
    QString rest = url;
    rest.remove(DELETE_SCHEME);
    rest.remove(QLatin1Char('/'));
    return lineIndex(rest);
}

std::optional<int> OpenCommandIndex(const QString &url)
{
    QString rest = url;
    rest.remove(OPEN_SCHEME);
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    return lineIndex(rest);
}

bool AddToRecentList(const AppPaths &paths, const PlayCommand &command, const QString &gameName)
{
    const auto id = WholeNumberText(command.gameId);
    if (!id)
        return false;
    return AddGameRecord(paths, gameName, *id, command.gameAddress, command.kind, RecentListFile());
}
