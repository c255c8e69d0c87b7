#include "portal/paneevents.h"

#include "portal/commandurl.h"

QString PortalErrorText()
{
    return QStringLiteral("Error！出错了\r\n\r\n"
                          "1.请检查你的网络连接\r\n\r\n"
                          "2.软件网络出现了故障\r\n\r\n"
                          "3.请点此尝试重新连接\r\n\r\n"
                          "4.请尝试重新启动软件\r\n\r\n");
}

bool IsPortalFailure(const QString &url, const QString &portalBase)
{
    if (IsForwardCommand(url) || IsOpenCommand(url) || IsDeleteCommand(url))
        return false;
    return !portalBase.isEmpty() && url.contains(portalBase);
}
