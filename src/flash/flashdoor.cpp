#include "flash/flashdoor.h"

#include "download/dlrules.h"

#include <QUrlQuery>

namespace FlashDoor
{
namespace
{
bool isDoor(const QUrl &url)
{
    return url.scheme() == QLatin1String(SCHEME) && url.host() == QLatin1String(HOST) && url.port() == -1
        && url.userInfo().isEmpty() && !url.hasFragment();
}

bool isPicture(QByteArrayView head)
{
    return head.startsWith("\x89PNG\r\n\x1a\n") || head.startsWith("\xff\xd8\xff") || head.startsWith("GIF87a")
        || head.startsWith("GIF89a");
}
} // namespace

QString Base()
{
    return QString::fromLatin1(SCHEME) + QStringLiteral("://") + QString::fromLatin1(HOST) + QLatin1Char('/');
}

QStringList FontUrls()
{
    return {Base() + QStringLiteral("fonts/sans.otf"), Base() + QStringLiteral("fonts/mono.otf")};
}

std::optional<LocalContent::File> AnswerFile(const AppPaths &paths, const LocalContent::Request &request)
{
    if (request.method != "GET" || !isDoor(request.url) || request.url.hasQuery())
        return std::nullopt;
    const QString path = request.url.path(QUrl::FullyDecoded);
    const bool runtime = path.startsWith(QLatin1String("/ruffle/"));
    const bool font = path.startsWith(QLatin1String("/fonts/")) && path.endsWith(QLatin1String(".otf"));
    if ((!runtime && !font) || path.count(QLatin1Char('/')) != 2)
        return std::nullopt;
    // The door's tree is the installed app/ folder's, whose set rules
    // (names, links, hidden files) LocalContent keeps.
    return LocalContent::Resolve(paths, QStringLiteral("/app") + path);
}

std::optional<FetchRequest> ParseFetch(const LocalContent::Request &request)
{
    if (request.method != "GET" || !isDoor(request.url) || request.url.path() != QLatin1String("/fetch"))
        return std::nullopt;
    const QUrlQuery query(request.url);
    FetchRequest fetch;
    fetch.token = query.queryItemValue(QStringLiteral("t"), QUrl::FullyDecoded);
    const QString method = query.queryItemValue(QStringLiteral("m"), QUrl::FullyDecoded);
    fetch.target = QUrl(query.queryItemValue(QStringLiteral("u"), QUrl::FullyDecoded), QUrl::StrictMode);
    if (fetch.token.isEmpty() || (method != QLatin1String("GET") && method != QLatin1String("HEAD")))
        return std::nullopt;
    fetch.head = method == QLatin1String("HEAD");
    const QString scheme = fetch.target.scheme();
    if (!fetch.target.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        || fetch.target.host().isEmpty() || !fetch.target.userInfo().isEmpty())
        return std::nullopt;
    fetch.target.setFragment(QString());
    return fetch;
}

QUrl FetchUrl(const QString &token, const QUrl &target, bool head)
{
    QUrl url(Base() + QStringLiteral("fetch"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("t"), QString::fromLatin1(QUrl::toPercentEncoding(token)));
    query.addQueryItem(QStringLiteral("m"), head ? QStringLiteral("HEAD") : QStringLiteral("GET"));
    query.addQueryItem(QStringLiteral("u"), QString::fromLatin1(QUrl::toPercentEncoding(target.toString(QUrl::FullyEncoded))));
    url.setQuery(query);
    return url;
}

Content Judge(QByteArrayView head, bool complete, qint64 size)
{
    if (head.size() < JUDGE_BYTES && !complete)
        return Content::NeedMore;
    if (isPicture(head))
        return Content::Picture;
    if (head.size() < JUDGE_BYTES)
        return Content::Other;
    // A movie's header is judged as a download's is, against the size when
    // it is known; otherwise the signature, version and length must be a
    // movie's.
    if (size >= 0)
        return DlRules::isFlashMovie(head, size) ? Content::Movie : Content::Other;
    const QByteArrayView signature = head.first(3);
    const int version = static_cast<unsigned char>(head[3]);
    qint64 length = 0;
    for (int i = 7; i >= 4; --i)
        length = (length << 8) | static_cast<unsigned char>(head[i]);
    const bool movie = (signature == "FWS" || signature == "CWS" || signature == "ZWS") && version >= 1
        && version <= 64 && length > DlRules::FLASH_HEADER_SIZE && length <= DlRules::MAX_FLASH_MOVIE;
    return movie ? Content::Movie : Content::Other;
}

QByteArray MimeTypeOf(QByteArrayView head)
{
    if (head.startsWith("\x89PNG"))
        return "image/png";
    if (head.startsWith("\xff\xd8\xff"))
        return "image/jpeg";
    if (head.startsWith("GIF8"))
        return "image/gif";
    return "application/x-shockwave-flash";
}

QByteArray StatusMimeType(int status)
{
    return "application/x-kavo-status; code=" + QByteArray::number(status);
}
} // namespace FlashDoor
