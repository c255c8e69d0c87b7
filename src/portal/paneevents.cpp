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

namespace
{
QString notePage(const QString &title, const QString &headline, const QString &text)
{
    return QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                          "<body style=\"margin:0;padding:24px 14px;background:#f5f5f5;color:#556070;"
                          "font:13px/1.8 sans-serif;text-align:center\">"
                          "<p style=\"margin:0 0 8px;font-weight:bold\">%2</p>"
                          "<p style=\"margin:0\">%3</p>"
                          "</body></html>")
        .arg(title, headline, text);
}
} // namespace

QString GameStoppedPage()
{
    return notePage(QStringLiteral("游戏已停止"), QStringLiteral("游戏已停止运行"),
                    QStringLiteral("游戏占用的内存过多，或被系统结束了。<br>"
                                   "点击下方工具栏的“刷新”按钮，可以重新开始这个游戏。"));
}

QString GameUnreachablePage(const QString &retryAddress)
{
    return notePage(QStringLiteral("游戏无法打开"), QStringLiteral("暂时无法打开这个游戏"),
                    QStringLiteral("没有连接到游戏网站，请检查网络连接。<br>"
                                   "<a id=\"retry\" href=\"%1\" style=\"color:#2a6fc9\">点此重试</a>，或点击下方工具栏的“刷新”按钮。")
                        .arg(retryAddress.toHtmlEscaped()));
}

QString PageStoppedPage()
{
    return notePage(QStringLiteral("页面已停止"), QStringLiteral("页面已停止运行"),
                    QStringLiteral("这个页面反复出错，已经停止加载。<br>请稍后再试，或重新启动软件。"));
}

QString GameInfoUnavailablePage()
{
    return notePage(QStringLiteral("游戏信息"), QStringLiteral("暂时无法显示游戏信息"),
                    QStringLiteral("没有连接到游戏网站。<br>这不影响游戏：已下载的游戏照常可以玩。"));
}

bool LoadAgainAfterRendererEnd(qint64 msSincePreviousEnd)
{
    return msSincePreviousEnd < 0 || msSincePreviousEnd >= RENDERER_END_REPEAT_MS;
}
