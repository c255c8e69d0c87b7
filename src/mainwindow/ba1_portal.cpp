// The main window's handlers of the web panes: command URLs, pane events and
// context menus.
#include "mainwindow/ba1.h"

#include "portal/gui/webpane.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/picturebox.h"

#include <QDesktopServices>
#include <QUrl>

void BA1::connectPortalEvents()
{
    WebPane *const panes[] = {Web1, Web2, Web3, Web4, Web5, Web6, Webr, adweb};

    // Which documents replace the browser's context menu. The rules must be in
    // place before the first load.
    WebPane::MenuHooks portalHooks;
    portalHooks.hookTop = true;
    portalHooks.hookFrameNames = {QStringLiteral("tuzomain")};
    Web1->setMenuHooks(portalHooks);
    WebPane::MenuHooks topOnly;
    topOnly.hookTop = true;
    for (WebPane *pane : {Web2, Web3, Web4, Web5, Webr})
        pane->setMenuHooks(topOnly);

    // Handlers cancel from inside the signal, so the connections are direct.
    connect(Web1, &WebPane::BeforeNavigate2, this, &BA1::Web1_BeforeNavigate2, Qt::DirectConnection);
    connect(Web2, &WebPane::BeforeNavigate2, this, &BA1::Web2_BeforeNavigate2, Qt::DirectConnection);
    connect(Web3, &WebPane::BeforeNavigate2, this, &BA1::Web3_BeforeNavigate2, Qt::DirectConnection);
    connect(Web2, &WebPane::NewWindow2, this, &BA1::Web2_NewWindow2, Qt::DirectConnection);

    // No script or error dialogs once a pane starts loading.
    for (WebPane *pane : panes)
        connect(pane, &WebPane::DownloadBegin, pane, [pane] { pane->setSilent(true); });

    connect(Web1, &WebPane::DownloadComplete, this, &BA1::Web1_DownloadComplete);
    connect(Web2, &WebPane::DownloadComplete, this, &BA1::Web2_DownloadComplete);
    connect(Web1, &WebPane::NavigateError, this, &BA1::Web1_NavigateError);
    connect(Webr, &WebPane::NavigateError, this, &BA1::Webr_NavigateError);
    connect(adweb, &WebPane::DownloadComplete, this, &BA1::adweb_DownloadComplete);
    connect(adweb, &WebPane::NavigateError, this, &BA1::adweb_NavigateError);

    for (WebPane *pane : panes)
        connect(pane, &WebPane::RendererEnded, this, [this, pane](bool again) { PaneRendererEnded(pane, again); });

    // The other panes' new windows go to the user's browser.
    for (WebPane *pane : panes) {
        if (pane != Web2)
            connect(pane, &WebPane::NewWindowRequested, this,
                    [](const QString &url) { QDesktopServices::openUrl(QUrl(url)); });
    }

    connect(Web1, &WebPane::ContextMenu, this,
            [this](const WebPane::ContextMenuInfo &info, const QPoint &pos) {
                if (info.isTop)
                    M_M2_oncontextmenu(pos);
                else if (info.frameName == QLatin1String("tuzomain"))
                    M_M1_oncontextmenu(pos);
            });
    connect(Web3, &WebPane::ContextMenu, this,
            [this](const WebPane::ContextMenuInfo &info, const QPoint &pos) {
                if (info.isTop)
                    M_M3_oncontextmenu(info.activeHrefAttribute, pos);
            });

    connect(shan_name, &ClickLabel::clicked, this, &BA1::shan_name_Click);
    connect(P2, &PictureBox::clicked, this, &BA1::P2_Click);
    connect(webe, &ClickLabel::clicked, this, &BA1::webe_Click);
}
