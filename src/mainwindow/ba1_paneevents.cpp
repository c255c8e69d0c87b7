// Events of the web panes: loading, errors, new windows and context menus.
#include "mainwindow/ba1.h"

#include "mainwindow/gamepagepart.h"

#include "mainwindow/ba3.h"
#include "portal/gui/webpane.h"
#include "portal/listcommands.h"
#include "portal/paneevents.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"

#include <QMenu>
#include <QUrl>

#include <utility>

void BA1::Web1_DownloadComplete()
{
    if (!m_state.PortalErrorShown) {
        if (m_state.CurrentTab == Caption::PortalTab)
            m_zz[0]->show();
        ShowPortalOverlay(false);
    }
    // The portal takes the keys when its page is the one in front; a load
    // behind another page does not take them from the game or the list.
    if (m_state.CurrentTab == Caption::PortalTab && m_zz[0]->isVisible() && !m_zzer->isVisible())
        m_Web1->setFocus();
}

void BA1::Web2_DownloadComplete()
{
    // The game takes the keys when its page is in front; its page may have
    // come with a renderer of its own, whose view has not had them yet.
    if (m_state.CurrentTab == Caption::GameTab && m_game->Web2()->isVisible())
        m_game->Web2()->setFocus();
}

void BA1::Web1_NavigateError(const QString &URL, int StatusCode)
{
    // A command nobody took is no failure of the portal.
    if (StatusCode == WebPane::UnknownSchemeError || !IsPortalFailure(URL, m_portalBase))
        return;
    ShowPortalError();
}

void BA1::ShowPortalError()
{
    if (m_state.CurrentTab == Caption::PortalTab)
        m_zz[0]->hide();
    m_webe->setText(PortalErrorText());
    m_webe->adjustSize();
    ShowPortalOverlay(true);
    m_state.PortalErrorShown = true;
}

void BA1::PaneRendererEnded(WebPane *pane, bool again)
{
    // The portal fails as if its page had not loaded: the error panel, whose
    // retry (or the home tab) loads the portal with a new renderer. The home
    // tab takes clicks also while it is the selected one, as it is when the
    // page ended in front.
    if (pane == m_Web1) {
        ShowPortalError();
        m_npc[Caption::PortalTab]->setEnabled(true);
        return;
    }
    // The game stopped: a note says so; the toolbar's reload, or a new
    // play, starts the game again.
    if (pane == m_game->Web2()) {
        if (m_game->Web2()->isHidden())
            ResumeGame();
        m_game->Web2()->ShowNote(GameStoppedPage());
        return;
    }
    // The statistics page has made its request; loading it again would
    // count this start twice.
    if (pane == m_Web6)
        return;
    // The other panes load their page again, once; a page that ends its
    // renderer again within the minute gets the pane's error state.
    if (!again) {
        pane->LoadAgain();
    } else if (pane == m_adweb) {
        m_state.TopAdFailed = true;
        m_ad_pic->hide();
    } else {
        pane->ShowNote(pane == m_game->Webr() ? GameInfoUnavailablePage() : PageStoppedPage());
    }
}

void BA1::ShowPortalOverlay(bool show)
{
    m_portalOverlay = show;
    UpdatePortalOverlay();
}

void BA1::UpdatePortalOverlay()
{
    // The loading and error overlay belongs to the portal's page. The other
    // pages (the lists, the game, the downloaded games) work without the
    // portal, so the overlay never covers them.
    if (m_zzer)
        m_zzer->setVisible(m_portalOverlay && m_state.CurrentTab == Caption::PortalTab);
}

void BA1::Webr_NavigateError(const QString &URL, int StatusCode)
{
    Q_UNUSED(URL)
    if (StatusCode == WebPane::UnknownSchemeError)
        return;
    // The game plays without its information page; a plain note takes the
    // place of the engine's error page, until the portal's retry.
    m_gameInfoNotReached = URL;
    m_game->Webr()->setHtml(GameInfoUnavailablePage());
}

void BA1::Web2_NavigateError(const QString &URL, int StatusCode)
{
    // An error status comes with the portal's own page, which stays.
    if (StatusCode == WebPane::UnknownSchemeError || StatusCode >= 0)
        return;
    WebPane *pane = m_game->Web2();
    m_gameNotReached = URL;
    if (pane->isHidden())
        ResumeGame();
    pane->ShowNote(GameUnreachablePage(pane->addressToUrl(URL).toString(QUrl::FullyEncoded)));
}

void BA1::RetryGameInfo()
{
    if (!m_gameInfoNotReached.isEmpty())
        m_game->Webr()->Navigate(std::exchange(m_gameInfoNotReached, QString()));
}

void BA1::adweb_DownloadComplete()
{
    if (!m_state.TopAdFailed)
        m_ad_pic->show();
}

void BA1::adweb_NavigateError(const QString &URL, int StatusCode)
{
    if (StatusCode == WebPane::UnknownSchemeError || !IsPortalFailure(URL, m_portalBase))
        return;
    m_state.TopAdFailed = true;
    m_ad_pic->hide();
}

void BA1::Web2_NewWindow2(bool *Cancel)
{
    // Games cannot open windows.
    *Cancel = true;
}

void BA1::P2_Click()
{
    // PortalErrorShown stays: later loads no longer move the overlay, and a
    // new failure shows the panel again.
    m_Web1->Navigate(m_portalBase);
    // The game's information comes from the portal too.
    RetryGameInfo();
    if (m_state.CurrentTab == Caption::PortalTab) {
        m_zz[0]->show();
        m_npc[Caption::PortalTab]->setEnabled(false);
    }
    ShowPortalOverlay(false);
}

void BA1::webe_Click()
{
    P2_Click();
}

void BA1::M_M1_oncontextmenu(const QPoint &globalPos)
{
    MenuForm(this)->myMenu()->exec(globalPos);
}

void BA1::M_M2_oncontextmenu(const QPoint &globalPos)
{
    MenuForm(this)->myMenu()->exec(globalPos);
}

void BA1::M_M3_oncontextmenu(const QString &activeHref, const QPoint &globalPos)
{
    // Only a game link has a menu; its delete link and the empty page have none.
    if (!IsListGameLink(activeHref))
        return;
    m_state.ContextGameLink = activeHref;
    MenuForm(this)->webc()->exec(globalPos);
}
