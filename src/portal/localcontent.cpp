#include "portal/localcontent.h"

#include "lists/listfile.h"
#include "portal/downloadedcopy.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace LocalContent
{
namespace
{

// One set of the door: files below `root`, whose real location must stay
// below the real location of `root` (an installed folder may itself be a
// link, a file inside it may not lead out).
std::optional<QString> fileInside(const QString &root, const QString &relative)
{
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    if (realRoot.isEmpty())
        return std::nullopt;
    const QFileInfo info(root + QLatin1Char('/') + relative);
    const QString real = info.canonicalFilePath();
    if (real.isEmpty() || !real.startsWith(realRoot + QLatin1Char('/')) || !QFileInfo(real).isFile())
        return std::nullopt;
    return real;
}

// The generated page of one of the game lists.
bool isListPage(const QString &name)
{
    for (const QString &listFile : GameListFiles()) {
        if (PageNameFor(listFile) == name)
            return true;
    }
    return false;
}

QByteArray mimeTypeOf(const QString &name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    // Pages carry their own character set (the list pages are GBK).
    if (suffix == QLatin1String("htm") || suffix == QLatin1String("html"))
        return "text/html";
    if (suffix == QLatin1String("js") || suffix == QLatin1String("mjs"))
        return "text/javascript";
    if (suffix == QLatin1String("wasm"))
        return "application/wasm";
    if (suffix == QLatin1String("gif"))
        return "image/gif";
    if (suffix == QLatin1String("swf"))
        return "application/x-shockwave-flash";
    if (suffix == QLatin1String("json") || suffix == QLatin1String("map"))
        return "application/json";
    if (suffix == QLatin1String("otf"))
        return "font/otf";
    return "application/octet-stream";
}

bool plainSegments(const QString &path)
{
    static const QRegularExpression segment(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9_.\\-]*$"));
    const QStringList parts = path.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (!segment.match(part).hasMatch() || part.contains(QStringLiteral("..")))
            return false;
    }
    return true;
}

} // namespace

std::optional<File> Resolve(const AppPaths &paths, const QString &urlPath)
{
    if (!urlPath.startsWith(QLatin1Char('/')))
        return std::nullopt;
    const QString path = urlPath.mid(1);
    if (!plainSegments(path))
        return std::nullopt;

    std::optional<QString> file;
    if (path == QLatin1String("app/flash.htm") || path == QLatin1String("app/i.gif")) {
        file = fileInside(paths.installedAppDir(), path.mid(4));
    } else if (path.startsWith(QLatin1String("app/ruffle/"))) {
        file = fileInside(paths.installedAppFile(QStringLiteral("ruffle")), path.mid(11));
    } else if (path.startsWith(QLatin1String("app/fonts/")) && path.endsWith(QLatin1String(".otf"))
               && !path.mid(10).contains(QLatin1Char('/'))) {
        file = fileInside(paths.installedAppFile(QStringLiteral("fonts")), path.mid(10));
    } else if (path.startsWith(QLatin1String("app/")) && isListPage(path.mid(4))) {
        file = fileInside(paths.dataDir(), path.mid(4));
    } else if (path.startsWith(QLatin1String("flash/")) && path.endsWith(QLatin1String(".swf"))
               && IsPlainDecimal(path.mid(6, path.size() - 10))) {
        file = fileInside(paths.flashDir(), path.mid(6));
    }
    if (!file)
        return std::nullopt;
    return File{*file, mimeTypeOf(*file)};
}

bool IsOwnInitiator(const QUrl &initiator)
{
    if (initiator.isEmpty())
        return true;
    // An origin carries no user, port, query or fragment; one that does is
    // not the door's.
    return initiator.scheme() == QLatin1String(SCHEME) && initiator.host() == QLatin1String(HOST)
        && initiator.port() == -1 && initiator.userInfo().isEmpty() && !initiator.hasQuery()
        && !initiator.hasFragment() && (initiator.path().isEmpty() || initiator.path() == QLatin1String("/"));
}

std::optional<File> Answer(const AppPaths &paths, const Request &request)
{
    if (request.method != "GET" || request.url.scheme() != QLatin1String(SCHEME)
        || request.url.host() != QLatin1String(HOST) || request.url.port() != -1
        || !IsOwnInitiator(request.initiator))
        return std::nullopt;
    return Resolve(paths, request.url.path(QUrl::FullyDecoded));
}

QUrl UrlForLocalPath(const AppPaths &paths, const QString &localPath)
{
    const qsizetype mark = localPath.indexOf(QLatin1Char('?'));
    const QString file = QDir::cleanPath(mark < 0 ? localPath : localPath.left(mark));
    // The door's tree joins the stored data and the installed files (one
    // folder, or two for an installed program).
    QString relative;
    for (const QString &folder : {paths.appDir(), paths.installedDir()}) {
        const QString root = folder + QLatin1Char('/');
        if (file.startsWith(root)) {
            relative = file.mid(root.size() - 1);
            break;
        }
    }
    if (relative.isEmpty())
        return QUrl();
    QUrl url;
    url.setScheme(QLatin1String(SCHEME));
    url.setHost(QLatin1String(HOST));
    url.setPath(relative, QUrl::DecodedMode);
    if (mark >= 0)
        url.setQuery(localPath.mid(mark + 1));
    return url;
}

bool IsDoorUrl(const QString &url)
{
    return url.startsWith(QLatin1String(SCHEME) + QLatin1Char(':'), Qt::CaseInsensitive);
}

} // namespace LocalContent
