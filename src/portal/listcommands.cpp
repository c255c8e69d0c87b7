#include "portal/listcommands.h"

#include "common/scriptunescape.h"
#include "lists/gamelist.h"
#include "portal/commandurl.h"
#include "portal/downloadedcopy.h"

namespace
{
const QString RECENT_LIST = RecentListFile();
const QString FAVOURITES_LIST = FavouritesListFile();
const QString DOWNLOADS_LIST = DownloadsListFile();

ListTab tabOf(const QString &listFile, const QString &caption, const QString &clearCaption)
{
    return ListTab{PageNameFor(listFile), listFile, caption, clearCaption};
}
}

std::optional<ListTab> ListTabAt(int index)
{
    switch (index) {
    case 0:
        return tabOf(RECENT_LIST, QStringLiteral("当前列表 >> 最近玩过的游戏："), QStringLiteral("清空全部玩过的游戏"));
    case 1:
        return tabOf(FAVOURITES_LIST, QStringLiteral("当前列表 >> 我收藏的游戏："), QStringLiteral("清空全部收藏的游戏"));
    case 2:
        return tabOf(DOWNLOADS_LIST, QStringLiteral("当前列表 >> 已下载的游戏："), QStringLiteral("清空全部下载的游戏"));
    default:
        return std::nullopt;
    }
}

QString PromptTitle()
{
    return QStringLiteral("Kavo游戏盒提示：");
}

QString ClearQuestionFor(const QString &listFile)
{
    if (listFile == FAVOURITES_LIST)
        return QStringLiteral("确定要删除全部[收藏的游戏]列表吗？");
    if (listFile == RECENT_LIST)
        return QStringLiteral("确定要删除全部[最近玩过的游戏]列表吗？");
    return QStringLiteral("确定要删除全部[下载]记录吗？此操作将同时删除所有下载的游戏文件！");
}

bool ClearList(const AppPaths &paths, const QString &listFile)
{
    // The files go only once the list no longer names them.
    if (!ClearGameList(paths, listFile))
        return false;
    if (listFile == DOWNLOADS_LIST)
        DeleteAllDownloadedCopies(paths);
    return true;
}

bool DeleteListItem(const AppPaths &paths, const QString &listFile, int index)
{
    const auto fields = listFile == DOWNLOADS_LIST ? ReadGameLine(paths, listFile, index)
                                                   : std::nullopt;
    if (!RemoveGameLine(paths, listFile, index))
        return false;
    // The copy goes only once the list no longer names it, so a list that
    // cannot be rewritten (a full disk) keeps both.
    if (fields && fields->size() > 1)
        DeleteDownloadedCopy(paths, fields->at(1));
    return true;
}

OpenListResult OpenListItem(const AppPaths &paths, const QString &listFile, int index)
{
    OpenListResult result;
    const auto fields = ReadGameLine(paths, listFile, index);
    // The list pages link records only; a line without "|" would make an
    // empty play command.
    if (!fields || fields->size() < 2)
        return result;

    result.gameName = fields->at(0);
    const QString id = fields->value(1);
    const QString address = fields->value(2);
    if (listFile == DOWNLOADS_LIST && !HasDownloadedCopy(paths, address)) {
        RemoveGameLine(paths, DOWNLOADS_LIST, index);
        result.action = OpenListResult::Action::MissingDownload;
        return result;
    }
    result.action = OpenListResult::Action::Navigate;
    result.command = BuildPlayCommand(id, address, result.gameName, fields->value(3));
    return result;
}

QString MissingDownloadText()
{
    return QStringLiteral("当前下载的游戏文件不存在，可能已经被你删除。");
}

FavouriteResult AddCurrentGameToFavourites(const AppPaths &paths, const QString &currentGameUrl,
                                           const QString &currentGameName)
{
    FavouriteResult result;
    if (currentGameUrl.isEmpty() || currentGameUrl == QLatin1String("0"))
        return result;
    if (!IsPointsPlayCommand(currentGameUrl) && !IsPlayCommand(currentGameUrl)) {
        result.outcome = FavouriteResult::Outcome::OtherScheme;
        return result;
    }

    const PlayCommand command = ParsePlayCommand(currentGameUrl);
    result.gameName = command.hasName ? command.gameName : currentGameName;
    const auto id = WholeNumberText(command.gameId);
    const bool added = id
        && AddGameRecord(paths, result.gameName, *id, command.gameAddress, command.kind,
                         FAVOURITES_LIST);
    result.outcome = added ? FavouriteResult::Outcome::Added : FavouriteResult::Outcome::NotAdded;
    return result;
}

QString NoGameText()
{
    return QStringLiteral("当前没有游戏");
}

QString FavouriteAddedText(const QString &gameName)
{
    return UnescapeText(gameName) + QStringLiteral("已添加到收藏！");
}

bool IsListGameLink(const QString &href)
{
    return href.contains(QLatin1String("open://"));
}

std::optional<QString> ContextCommandUrl(const QString &contextGameLink, bool open)
{
    if (!contextGameLink.contains(QLatin1String("//")))
        return std::nullopt;
    QString rest = contextGameLink;
    rest.remove(QStringLiteral("open://"));
    return (open ? QStringLiteral("open://") : QStringLiteral("delk://")) + rest;
}
