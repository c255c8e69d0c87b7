// Command addresses come from any page the panes load: the parsers must hold
// their contracts for every text.
#include "fuzzcheck.h"

#include "common/apppaths.h"
#include "portal/commandurl.h"
#include "portal/downloadedcopy.h"
#include "portal/listcommands.h"
#include "support/core/files.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace
{
const QString SCHEMES[] = {QString(), QStringLiteral("tuzoflash://"), QStringLiteral("tuzojf://"),
                           QStringLiteral("open://"), QStringLiteral("delk://"), QStringLiteral("tuzo")};

// An application folder with one downloaded game, 12.
const AppPaths &paths()
{
    static QTemporaryDir dir;
    static const AppPaths p = [] {
        const AppPaths made(dir.path());
        WriteFile(made.flashFile(QStringLiteral("12")), QByteArray());
        return made;
    }();
    return p;
}

void checkWholeNumber(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^-?(0|[1-9][0-9]*)$"));
    const auto number = WholeNumberText(text);
    if (!number)
        return;
    FUZZ_CHECK(decimal.match(*number).hasMatch());
    bool ok = false;
    FUZZ_CHECK(QString::number(number->toInt(&ok)) == *number && ok);
}

void checkIdInPath(const QString &id)
{
    const auto path = DownloadedCopyPath(paths(), id);
    if (!path)
        return;
    // A path is only ever made of a plain decimal id, inside the folder flash.
    FUZZ_CHECK(IsPlainDecimal(id));
    FUZZ_CHECK(*path == paths().flashDir() + QLatin1Char('/') + id + QStringLiteral(".swf"));
    FUZZ_CHECK(QDir::cleanPath(*path) == *path);
    FUZZ_CHECK(QFileInfo(*path).absolutePath() == paths().flashDir());
}

void checkPlayCommand(const QString &url)
{
    const PlayCommand command = ParsePlayCommand(url);
    FUZZ_CHECK(command.kind == (IsPointsPlayCommand(url) ? 0 : 1));
    const QString separator = QStringLiteral("$$$");
    FUZZ_CHECK(!command.gameId.contains(separator) && !command.gameAddress.contains(separator)
               && !command.gameName.contains(separator));
    FUZZ_CHECK(command.hasName || command.gameName.isEmpty());
    checkWholeNumber(command.gameId);
    checkIdInPath(command.gameId);

    const QString player = PlayerPageFor(paths(), QStringLiteral("http://portal/"), command);
    if (player.startsWith(paths().dataFile(QStringLiteral("flash.htm"))))
        FUZZ_CHECK(command.kind == 1 && command.gameId == QLatin1String("12"));
    else
        FUZZ_CHECK(player.startsWith(QLatin1String("http://portal/")));
    GameInfoPageFor(QStringLiteral("http://portal/"), command);
    GameTitleText(command.gameName);
}

// A list item's command gives back its fields when they hold nothing the
// command's own syntax uses.
void checkRoundTrip(const QString &id, const QString &address, const QString &name, bool points)
{
    for (const QString &field : {id, address, name}) {
        if (field.contains(QLatin1Char('$')) || field.contains(QLatin1String("tuzo")))
            return;
    }
    if (name.endsWith(QLatin1Char('/')))
        return;
    const QString url = BuildPlayCommand(id, address, name, points ? QStringLiteral("0") : QStringLiteral("1"));
    const PlayCommand command = ParsePlayCommand(url);
    FUZZ_CHECK(command.gameId == id && command.gameAddress == address && command.gameName == name);
    FUZZ_CHECK(command.hasName && command.kind == (points ? 0 : 1));
}

void checkIndex(const std::optional<int> &index)
{
    if (index)
        FUZZ_CHECK(*index >= 1);
}

void checkListCommands(const QString &text)
{
    for (bool open : {true, false}) {
        const auto url = ContextCommandUrl(text, open);
        if (url)
            FUZZ_CHECK(url->startsWith(open ? QLatin1String("open://") : QLatin1String("delk://")));
        else
            FUZZ_CHECK(!text.contains(QLatin1String("//")));
    }
    if (IsListGameLink(text))
        FUZZ_CHECK(text.contains(QLatin1String("open://")));
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString scheme = SCHEMES[in.ConsumeIntegralInRange<size_t>(0, std::size(SCHEMES) - 1)];
    const QString id = takeText(in, 24);
    const QString address = takeText(in, 64);
    const QString name = takeText(in, 64);
    const bool points = in.ConsumeBool();
    const QString rest = takeText(in, 512);
    const QString url = scheme + rest;

    checkPlayCommand(url);
    checkIndex(DeleteCommandIndex(url));
    checkIndex(OpenCommandIndex(url));
    checkWholeNumber(rest);
    checkIdInPath(rest);
    checkRoundTrip(id, address, name, points);
    checkListCommands(rest);
    IsForwardCommand(url);
    IsPlayCommand(url);
    IsOpenCommand(url);
    IsDeleteCommand(url);
    return 0;
}
