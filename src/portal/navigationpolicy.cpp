#include "portal/navigationpolicy.h"

#include "portal/localcontent.h"

namespace NavigationPolicy
{
namespace
{

bool isWeb(const QUrl &url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

bool isPortal(const QUrl &portalBase, const QUrl &url)
{
    const QString portal = OriginOf(portalBase);
    return !portal.isEmpty() && OriginOf(url) == portal;
}

// A blob address names the origin of the page that made it:
// blob:http://host/uuid.
bool isPortalBlob(const QUrl &portalBase, const QUrl &url)
{
    return url.scheme() == QLatin1String("blob") && isPortal(portalBase, QUrl(url.path()));
}

bool isBlank(const QUrl &url)
{
    return url.scheme() == QLatin1String("about")
        && (url.path() == QLatin1String("blank") || url.path() == QLatin1String("srcdoc"));
}

} // namespace

QString OriginOf(const QUrl &url)
{
    if (!url.isValid() || !isWeb(url) || url.host().isEmpty())
        return {};
    const int standard = url.scheme() == QLatin1String("https") ? 443 : 80;
    const int port = url.port(standard);
    QString origin = url.scheme() + QStringLiteral("://") + url.host(QUrl::FullyEncoded);
    if (port != standard)
        origin += QLatin1Char(':') + QString::number(port);
    return origin;
}

Verdict Decide(const QUrl &portalBase, const Request &request)
{
    const QUrl &url = request.url;
    if (!url.isValid())
        return Verdict::Refuse;
    const bool byProgram = request.cause == Cause::Program || request.cause == Cause::Reload
        || request.cause == Cause::History;
    if (url.scheme().compare(QLatin1String(LocalContent::SCHEME), Qt::CaseInsensitive) == 0)
        return byProgram ? Verdict::Load : Verdict::Refuse;
    if (byProgram || !request.mainFrame)
        return Verdict::Load;
    if (isPortal(portalBase, url) || isPortalBlob(portalBase, url) || isBlank(url))
        return Verdict::Load;
    const bool asked = request.userGesture && !request.sendsData
        && (request.cause == Cause::Link || request.cause == Cause::Form || request.cause == Cause::Other);
    return asked && isWeb(url) && !OriginOf(url).isEmpty() ? Verdict::OpenInBrowser : Verdict::Refuse;
}

} // namespace NavigationPolicy
