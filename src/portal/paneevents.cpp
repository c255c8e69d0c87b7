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

QString GameInfoUnavailablePage()
{
    return QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>游戏信息</title></head>"
        "<body style=\"margin:0;padding:24px 14px;background:#f5f5f5;color:#556070;"
        "font:13px/1.8 sans-serif;text-align:center\">"
        "<p style=\"margin:0 0 8px;font-weight:bold\">暂时无法显示游戏信息</p>"
        "<p style=\"margin:0\">没有连接到游戏网站。<br>这不影响游戏：已下载的游戏照常可以玩。</p>"
        "</body></html>");
}
