// Pane events against the demo portal: the error panel and its retry, the
// top promotion, silent panes, new windows and the context menus.
#include "mainwindow/ba3.h"
#include "services/gui/promotionwindow.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "support/browserrecorder.h"
#include "support/core/httpserver.h"
#include "support/eventwait.h"
#include "support/gamebox.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QWebEngineLoadingInfo>
#include <QtTest>

namespace
{
const QString ERROR_TEXT = QStringLiteral(
    "Error！出错了\r\n\r\n1.请检查你的网络连接\r\n\r\n2.软件网络出现了故障\r\n\r\n"
    "3.请点此尝试重新连接\r\n\r\n4.请尝试重新启动软件\r\n\r\n");
const QStringList MY_MENU = {QStringLiteral("后退"), QStringLiteral("前进"), QStringLiteral("-"),
                             QStringLiteral("复制"), QStringLiteral("粘贴")};
}

class PaneEventsTest : public QObject
{
    Q_OBJECT

    // Another origin: another port of the same host.
    HttpServer m_other;
    GameBox box;
    QString m_base;
    QStringList m_switches;

    // The menus a right click at `pos` opens, with the entry chosen (empty:
    // closed).
    QStringList menuAt(WebPane *pane, const QPoint &pos, const QString &entry = QString(), int *count = nullptr)
    {
        MenuAnswer menu(entry);
        // A hooked document hands the click to the window (ContextMenu; the
        // window's menu runs inside that signal, before this counter sees
        // it); any other shows the browser's menu.
        int handed = 0;
        const auto counter = connect(pane, &WebPane::ContextMenu, this, [&] { ++handed; });
        const auto disconnectCounter = qScopeGuard([&] { disconnect(counter); });
        // The top document counts the right clicks it is given: a page that
        // neither hands the click over nor shows a menu has at least seen it.
        const auto seen = [pane] {
            return GameBox::js(pane, QStringLiteral("if (!window.__kavoMenus) { window.__kavoMenus = {n: 0};"
                                                    " addEventListener('contextmenu', () => ++window.__kavoMenus.n, true); }"
                                                    " window.__kavoMenus.n"))
                .toInt();
        };
        const int before = seen();
        GameBox::rightClick(pane, pos);
        KavoTest::WaitUntil([&] { return menu.count > 0 || handed > 0 || seen() > before; }, 10000);
        // A second menu or a late hand-over would be on its way by the
        // time the page has answered a script and this thread's queue has
        // run; an open menu is answered before the count is read.
        GameBox::js(pane, QStringLiteral("document.readyState"));
        KavoTest::Settle();
        KavoTest::WaitUntil([] { return !QApplication::activePopupWidget(); }, 5000);
        if (count)
            *count = menu.count;
        if (menu.count == 1 && menu.position != QCursor::pos())
            return {QStringLiteral("<misplaced>")};
        return menu.entries;
    }

    bool shows(WebPane *pane, const QString &url)
    {
        return KavoTest::WaitUntil([&] {
            return GameBox::js(pane, QStringLiteral("document.readyState == 'complete' && document.URL")).toString() == url;
        }, 20000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_other.start());
        // Portal addresses that redirect: away to the other origin, and home.
        m_switches = {QStringLiteral("--pages"), QStringLiteral(KAVO_SOURCE_DIR "/tests/pages"),
                      QStringLiteral("--fault"), QStringLiteral("/go-away=redirect:") + m_other.url(QStringLiteral("/redirected")),
                      QStringLiteral("--fault"), QStringLiteral("/go-home=redirect:/yy")};
        QVERIFY(box.start(m_switches));
        m_base = box.base();
    }

    // A page's own requests for windows (at load, on a timer, by a script's
    // click on a link) never reach the user's browser, from any pane; a real
    // click on a sponsor button that asks for two opens exactly one. Pages in
    // the game pane cannot open windows at all.
    void newWindowsOnlyForAGesture()
    {
        BA1 &w = *box.w;
        BrowserRecorder browser;
        const auto clickSponsor = [](WebPane *pane) {
            const QPoint at = GameBox::centreOf(pane, QStringLiteral("#sponsor"));
            QVERIFY(at.x() >= 0);
            QTest::mouseClick(pane->focusProxy(), Qt::LeftButton, {}, at);
        };
        w.Timer2_Timer();
        QPointer<adsb> floating = w.floatingPromotion();
        QVERIFY(floating);
        // The floating promotion closes once it has handed a window over: last.
        for (const auto &[tag, pane] : {std::pair{QStringLiteral("portal"), w.Web1()},
                                        std::pair{QStringLiteral("ad"), w.adweb()},
                                        std::pair{QStringLiteral("promotion"), floating->Web1()}}) {
            const QString done = QStringLiteral("/report?tag=%1&way=popups-done").arg(tag);
            pane->Navigate(m_base + QStringLiteral("pages/popups.html?tag=") + tag);
            QVERIFY2(KavoTest::WaitUntil([&] { return box.portal.requests().contains(done); }, 30000), qPrintable(tag));
            // Anything the page asked for has reached the window by the time
            // the page answers a script and the queue has run.
            GameBox::js(pane, QStringLiteral("document.readyState"));
            QVERIFY(KavoTest::Settle());
            QVERIFY2(browser.opened.isEmpty(), qPrintable(tag + QLatin1Char(' ') + browser.opened.join(QLatin1Char(' '))));

            clickSponsor(pane);
            QTRY_VERIFY2(!browser.opened.isEmpty(), qPrintable(tag));
            if (tag != QLatin1String("promotion"))
                GameBox::js(pane, QStringLiteral("document.readyState"));
            QVERIFY(KavoTest::Settle());
            QCOMPARE(browser.opened, QStringList{m_base + QStringLiteral("pages/sponsor.html?a")});
            browser.opened.clear();
        }
        QTRY_VERIFY(!floating);

        w.game()->Web2()->Navigate(m_base + QStringLiteral("pages/popups.html?n=1&tag=game"));
        QVERIFY(KavoTest::WaitUntil([&] {
            return box.portal.requests().contains(QStringLiteral("/report?tag=game&way=popups-done"));
        }, 30000));
        QSignalSpy asked(w.game()->Web2(), &WebPane::NewWindow2);
        w.npc_Click(Caption::GameTab);
        clickSponsor(w.game()->Web2());
        QTRY_COMPARE(asked.count(), 1);
        GameBox::js(w.game()->Web2(), QStringLiteral("document.readyState"));
        QVERIFY(KavoTest::Settle());
        QCOMPARE(asked.count(), 1);
        QVERIFY(browser.opened.isEmpty());
        w.npc_Click(Caption::PortalTab);
        w.Web1()->Navigate(m_base);
        QVERIFY(box.portalReady());
    }

    // A failing portal covers the page with the error panel until the retry;
    // failures of other addresses, or of the top promotion, do not.
    void portalErrorPanelAndRetry()
    {
        BA1 &w = *box.w;
        QVERIFY(!w.zzer()->isVisible());
        QVERIFY(w.zz(0)->isVisible());
        QTRY_VERIFY(w.ad_pic()->isVisible());

        QSignalSpy errors(w.Web1(), &WebPane::NavigateError);
        w.Web1()->Navigate(QStringLiteral("http://127.0.0.1:9/"));
        QTRY_COMPARE(errors.count(), 1);
        QCOMPARE(w.state().PortalErrorShown, 0);
        QVERIFY(!w.zzer()->isVisible());
        w.Web1()->Navigate(m_base);
        QVERIFY(box.portalReady());

        const int port = box.portal.port();
        box.portal.stop();
        GameBox::followLink(w.Web1(), m_base + QStringLiteral("home.html"));
        QTRY_VERIFY(w.zzer()->isVisible());
        QVERIFY(!w.zz(0)->isVisible());
        QCOMPARE(w.webe()->text(), ERROR_TEXT);
        QCOMPARE(w.state().PortalErrorShown, 1);

        // Back on the same address; the top promotion fails from now on.
        const QStringList again = m_switches + QStringList{QStringLiteral("--port"), QString::number(port),
                                                           QStringLiteral("--fault"), QStringLiteral("/js/ads/topad.html=404")};
        QVERIFY(box.portal.start(again));
        QTest::mouseClick(w.P2(), Qt::LeftButton);
        QVERIFY(w.zz(0)->isVisible());
        QVERIFY(!w.zzer()->isVisible());
        QVERIFY(box.portalReady());
        QCOMPARE(w.Web1()->locationUrl(), m_base);
        QCOMPARE(w.webe()->text(), ERROR_TEXT);

        // A second failure shows the panel again; its text retries too.
        box.portal.stop();
        GameBox::followLink(w.Web1(), m_base + QStringLiteral("home.html"));
        QTRY_VERIFY(w.zzer()->isVisible());
        QVERIFY(box.portal.start(again));
        QTest::mouseClick(w.webe(), Qt::LeftButton);
        QVERIFY(!w.zzer()->isVisible());
        QVERIFY(box.portalReady());
    }

    // Loaded panes show no script dialogs.
    void silentPanes()
    {
        BA1 &w = *box.w;
        MessageAnswer dialogs(QMessageBox::Ok);
        for (WebPane *pane : {w.Web1(), w.list()->Web3(), w.Web4(), w.adweb()}) {
            const QVariant answer = GameBox::js(pane, QStringLiteral("alert('a'); confirm('b') ? 'yes' : 'no'"));
            QCOMPARE(answer.toString(), QStringLiteral("no"));
        }
        QCOMPARE(dialogs.count, 0);
    }

    // The portal's page and its frame "tuzomain" have the program's menu,
    // other frames of the portal and the top promotion the browser's own,
    // the other panes none at all.
    void contextMenus()
    {
        BA1 &w = *box.w;
        w.npc_Click(Caption::PortalTab);
        QVERIFY(box.portalReady());
        QCOMPARE(menuAt(w.Web1(), GameBox::centreOf(w.Web1(), QStringLiteral(".logo"))), MY_MENU);
        QCOMPARE(menuAt(w.Web1(), GameBox::centreOf(w.Web1(), QStringLiteral("#g104"), QStringLiteral("tuzomain"))), MY_MENU);

        GameBox::js(w.Web1(), QStringLiteral("var f=document.createElement('iframe');f.name='other';f.src='%1dan';"
                                           "f.style='position:fixed;left:0;top:0;width:300px;height:200px;z-index:99';"
                                           "document.body.appendChild(f);").arg(m_base));
        QTRY_VERIFY(GameBox::js(w.Web1(), QStringLiteral("frames['other'].document.readyState == 'complete' && "
                                                       "frames['other'].location.pathname == '/dan'")).toBool());
        int count = 0;
        QStringList entries = menuAt(w.Web1(), QPoint(150, 100), QString(), &count);
        QCOMPARE(count, 1);
        // The browser's own menu, in Chinese too: it can reload the page.
        QVERIFY2(entries != MY_MENU && entries.contains(QStringLiteral("重新加载")),
                 qPrintable(entries.join(QLatin1Char(','))));
        GameBox::js(w.Web1(), QStringLiteral("document.querySelector('iframe[name=other]').remove()"));

        // The game page: the player (a page of its own here) and the side panel.
        GameBox::followLink(w.Web1(), QStringLiteral("tuzoflash://101$$$101$$$Menu"));
        QTRY_COMPARE(w.state().CurrentTab, Caption::GameTab);
        w.game()->Web2()->Navigate(m_base + QStringLiteral("yy"));
        QVERIFY(shows(w.game()->Web2(), m_base + QStringLiteral("yy")));
        QVERIFY(shows(w.game()->Webr(), m_base + QStringLiteral("app/flash_info.asp?id=101")));
        QVERIFY(w.game()->Pic2()->isVisible());
        QCOMPARE(menuAt(w.game()->Web2(), QPoint(100, 100), QString(), &count), QStringList());
        QCOMPARE(count, 0);
        QCOMPARE(menuAt(w.game()->Webr(), QPoint(60, 60), QString(), &count), QStringList());
        QCOMPARE(count, 0);

        w.npc_Click(Caption::FourthTab);
        QCOMPARE(menuAt(w.Web4(), QPoint(100, 100), QString(), &count), QStringList());
        QCOMPARE(count, 0);
        w.npc_Click(Caption::FifthTab);
        QCOMPARE(menuAt(w.Web5(), QPoint(100, 100), QString(), &count), QStringList());
        QCOMPARE(count, 0);

        QVERIFY(w.ad_pic()->isVisible());
        entries = menuAt(w.adweb(), QPoint(50, 30), QString(), &count);
        QCOMPARE(count, 1);
        QVERIFY2(entries != MY_MENU && entries.contains(QStringLiteral("重新加载")),
                 qPrintable(entries.join(QLatin1Char(','))));
    }

    // The entries of the portal's menu act on the portal pane, whichever of
    // its documents the menu came from.
    void portalMenuEntries()
    {
        BA1 &w = *box.w;
        w.npc_Click(Caption::PortalTab);
        QVERIFY(box.portalReady());

        GameBox::clickElement(w.Web1(), QStringLiteral(".nav a[href$=\"/yy\"]"));
        QTRY_COMPARE(GameBox::js(w.Web1(), QStringLiteral("frames['tuzomain'].location.pathname")).toString(), QStringLiteral("/yy"));
        menuAt(w.Web1(), GameBox::centreOf(w.Web1(), QStringLiteral(".logo")), QStringLiteral("后退"));
        QTRY_COMPARE(GameBox::js(w.Web1(), QStringLiteral("frames['tuzomain'].location.pathname")).toString(), QStringLiteral("/home.html"));
        menuAt(w.Web1(), GameBox::centreOf(w.Web1(), QStringLiteral("#g101"), QStringLiteral("tuzomain")), QStringLiteral("前进"));
        QTRY_COMPARE(GameBox::js(w.Web1(), QStringLiteral("frames['tuzomain'].location.pathname")).toString(), QStringLiteral("/yy"));

        QGuiApplication::clipboard()->clear();
        GameBox::js(w.Web1(), QStringLiteral("getSelection().selectAllChildren(document.querySelector('.logo small'))"));
        menuAt(w.Web1(), GameBox::centreOf(w.Web1(), QStringLiteral(".logo small")), QStringLiteral("复制"));
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("好玩的Flash小游戏，点开就玩"));

        GameBox::js(w.Web1(), QStringLiteral("var i=document.createElement('input');i.id='box';"
                                           "document.querySelector('.top').appendChild(i);i.focus();"));
        menuAt(w.Web1(), GameBox::centreOf(w.Web1(), QStringLiteral("#box")), QStringLiteral("粘贴"));
        QTRY_COMPARE(GameBox::js(w.Web1(), QStringLiteral("document.getElementById('box').value")).toString(),
                     QStringLiteral("好玩的Flash小游戏，点开就玩"));
    }

    // The top promotion: another address failing keeps it, its own page
    // failing (the portal answers 404 since the retry above) hides it for good.
    void topPromotionHidesForGood()
    {
        BA1 &w = *box.w;
        QVERIFY(w.ad_pic()->isVisible());
        QSignalSpy failed(w.adweb(), &WebPane::NavigateError);
        w.adweb()->Navigate(QStringLiteral("http://127.0.0.1:9/"));
        // The failure has been reported and handled.
        QTRY_COMPARE(failed.count(), 1);
        QVERIFY(KavoTest::Settle());
        QVERIFY(w.ad_pic()->isVisible());
        w.adweb()->Navigate(m_base + QStringLiteral("js/ads/topad.html"));
        QTRY_COMPARE(w.state().TopAdFailed, 1);
        QVERIFY(!w.ad_pic()->isVisible());
        w.adweb()->Navigate(m_base + QStringLiteral("js/ads/tui.html"));
        QVERIFY(shows(w.adweb(), m_base + QStringLiteral("js/ads/tui.html")));
        QVERIFY(!w.ad_pic()->isVisible());
        QVERIFY(!w.zzer()->isVisible());
    }

    // A page cannot take a pane away from the portal: not by script, form or
    // meta refresh, nor through a portal address that redirects elsewhere
    // (a failed load of the portal); the other origin hears nothing. A click
    // on a link elsewhere opens the desktop's browser, once. The same ways
    // within the portal load.
    void panesStayOnThePortal()
    {
        BA1 &w = *box.w;
        BrowserRecorder browser;
        const QString away = m_other.url(QStringLiteral("/away"));
        const QString yy = m_base + QStringLiteral("yy");
        const auto leave = [&](const QString &way, const QString &to) {
            return m_base + QStringLiteral("pages/leave.html?way=") + way + QStringLiteral("&to=")
                + QString::fromLatin1(QUrl::toPercentEncoding(to));
        };
        // The engine announces a refused navigation of the top page as a load
        // that stops (after a start of its own, unless it was a redirect):
        // the sign that the page tried.
        const int otherPort = QUrl(m_other.baseUrl()).port();
        const auto refusedAway = [this, otherPort](WebPane *pane, const QString &page) {
            bool stopped = false;
            const auto watch = connect(pane->page(), &QWebEnginePage::loadingChanged, this,
                                       [&](const QWebEngineLoadingInfo &info) {
                                           stopped = stopped || (info.status() != QWebEngineLoadingInfo::LoadStartedStatus
                                                                 && info.url().port() == otherPort);
                                       });
            pane->Navigate(page);
            const bool seen = KavoTest::WaitUntil([&] { return stopped; }, 20000);
            disconnect(watch);
            return seen && KavoTest::Settle();
        };

        for (const auto &[way, arrived] : {std::pair{QStringLiteral("script"), yy},
                                           std::pair{QStringLiteral("form"), yy + QStringLiteral("?q=1")},
                                           std::pair{QStringLiteral("meta"), yy}}) {
            QVERIFY2(refusedAway(w.Web1(), leave(way, away)), qPrintable(way));
            QVERIFY2(shows(w.Web1(), leave(way, away)), qPrintable(way));
            QVERIFY(!w.zzer()->isVisible());
            w.Web1()->Navigate(leave(way, yy));
            QVERIFY2(shows(w.Web1(), arrived), qPrintable(way));
        }

        // A portal address that redirects elsewhere fails as the portal.
        const QString redirected = leave(QStringLiteral("script"), m_base + QStringLiteral("go-away"));
        QVERIFY(refusedAway(w.Web1(), redirected));
        QTRY_VERIFY(w.zzer()->isVisible());
        QVERIFY(shows(w.Web1(), redirected));
        QTest::mouseClick(w.P2(), Qt::LeftButton);
        QVERIFY(box.portalReady());
        w.Web1()->Navigate(leave(QStringLiteral("script"), m_base + QStringLiteral("go-home")));
        QVERIFY(shows(w.Web1(), yy));

        // A click on a link elsewhere, then on one within the portal.
        for (const QString &to : {away, yy}) {
            w.Web1()->Navigate(leave(QStringLiteral("click"), to));
            QVERIFY(shows(w.Web1(), leave(QStringLiteral("click"), to)));
            QTest::mouseClick(w.Web1()->focusProxy(), Qt::LeftButton, {}, GameBox::centreOf(w.Web1(), QStringLiteral("#link")));
            QTRY_COMPARE(browser.opened, QStringList{away});
        }
        QVERIFY(shows(w.Web1(), yy));
        QVERIFY(KavoTest::Settle());
        QCOMPARE(browser.opened, QStringList{away});

        // Every other pane and the floating promotion hold the same way.
        w.Timer2_Timer();
        QPointer<adsb> floating = w.floatingPromotion();
        QVERIFY(floating);
        for (WebPane *pane : {w.game()->Web2(), w.list()->Web3(), w.Web4(), w.Web5(), w.game()->Webr(), w.Web6(),
                              w.adweb(), floating->Web1()}) {
            const QString page = leave(QStringLiteral("script"), away);
            QVERIFY(refusedAway(pane, page));
            QVERIFY(shows(pane, page));
        }
        QCOMPARE(m_other.requests(), QStringList());
        QCOMPARE(browser.opened, QStringList{away});
        floating->close();
        w.Web1()->Navigate(m_base);
        QVERIFY(box.portalReady());
    }
};

QTEST_MAIN(PaneEventsTest)
#include "tst_ui_paneevents.moc"
