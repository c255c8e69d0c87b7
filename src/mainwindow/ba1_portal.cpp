// The main window's handlers of the web panes: command URLs, pane events and
// context menus.
#include "mainwindow/ba1.h"

#include "mainwindow/gamepagepart.h"
#include "mainwindow/listpagepart.h"

#include "portal/gui/webpane.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/picturebox.h"

#include <QDesktopServices>
#include <QUrl>

void BA1::connectPortalEvents()
{
    WebPane *const panes[] = {m_Web1, m_game->Web2(), m_list->Web3(), m_Web4, m_Web5, m_Web6, m_game->Webr(), m_adweb};
    // Every pane stays on the portal; what the user asks for elsewhere goes
    // to the desktop's browser, which its distribution keeps up to date.
    for (WebPane *pane : panes) {
        pane->setPortal(m_portalBase);
        connect(pane, &WebPane::OpenInBrowser, this, [](const QString &url) { QDesktopServices::openUrl(QUrl(url)); });
    }

    // Which documents replace the browser's context menu. The rules must be in
    // place before the first load.
    WebPane::MenuHooks portalHooks;
    portalHooks.hookTop = true;
    portalHooks.hookFrameNames = {QStringLiteral("tuzomain")};
    m_Web1->setMenuHooks(portalHooks);
    WebPane::MenuHooks topOnly;
    topOnly.hookTop = true;
    for (WebPane *pane : {m_game->Web2(), m_list->Web3(), m_Web4, m_Web5, m_game->Webr()})
        pane->setMenuHooks(topOnly);

    // Handlers cancel from inside the signal, so the connections are direct.
    connect(m_Web1, &WebPane::BeforeNavigate2, this, &BA1::Web1_BeforeNavigate2, Qt::DirectConnection);
    connect(m_game->Web2(), &WebPane::BeforeNavigate2, this, &BA1::Web2_BeforeNavigate2, Qt::DirectConnection);
    connect(m_list->Web3(), &WebPane::BeforeNavigate2, this, &BA1::Web3_BeforeNavigate2, Qt::DirectConnection);
    connect(m_game->Web2(), &WebPane::NewWindow2, this, &BA1::Web2_NewWindow2, Qt::DirectConnection);

    // No script or error dialogs once a pane starts loading.
    for (WebPane *pane : panes)
        connect(pane, &WebPane::DownloadBegin, pane, [pane] { pane->setSilent(true); });

    connect(m_Web1, &WebPane::DownloadComplete, this, &BA1::Web1_DownloadComplete);
    connect(m_game->Web2(), &WebPane::DownloadComplete, this, &BA1::Web2_DownloadComplete);
    connect(m_Web1, &WebPane::NavigateError, this, &BA1::Web1_NavigateError);
    connect(m_game->Webr(), &WebPane::NavigateError, this, &BA1::Webr_NavigateError);
    connect(m_game->Web2(), &WebPane::NavigateError, this, &BA1::Web2_NavigateError);
    connect(m_adweb, &WebPane::DownloadComplete, this, &BA1::adweb_DownloadComplete);
    connect(m_adweb, &WebPane::NavigateError, this, &BA1::adweb_NavigateError);

    for (WebPane *pane : panes)
        connect(pane, &WebPane::RendererEnded, this, [this, pane](bool again) { PaneRendererEnded(pane, again); });

    // The other panes' new windows go to the user's browser.
    for (WebPane *pane : panes) {
        if (pane != m_game->Web2())
            connect(pane, &WebPane::NewWindowRequested, this,
                    [](const QString &url) { QDesktopServices::openUrl(QUrl(url)); });
    }

    connect(m_Web1, &WebPane::ContextMenu, this,
            [this](const WebPane::ContextMenuInfo &info, const QPoint &pos) {
                if (info.isTop)
                    M_M2_oncontextmenu(pos);
                else if (info.frameName == QLatin1String("tuzomain"))
                    M_M1_oncontextmenu(pos);
            });
    connect(m_list->Web3(), &WebPane::ContextMenu, this,
            [this](const WebPane::ContextMenuInfo &info, const QPoint &pos) {
                if (info.isTop)
                    M_M3_oncontextmenu(info.activeHrefAttribute, pos);
            });

    connect(m_list, &ListPagePart::clearClicked, this, &BA1::shan_name_Click);
    connect(m_P2, &PictureBox::clicked, this, &BA1::P2_Click);
    connect(m_webe, &ClickLabel::clicked, this, &BA1::webe_Click);
}
