// The program without its portal: the lists, the game page and the
// downloaded games work while the portal is down or hangs; only the portal's
// own page is covered by the loading or error overlay, and its retry works
// once the portal is back on the same address.
#include "lists/gamelist.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/imagebutton.h"
#include "support/eventwait.h"
#include "support/gamebox.h"

#include <QDir>
#include <QtTest>

namespace
{
const QString ERROR_TEXT = QStringLiteral(
    "Error！出错了\r\n\r\n1.请检查你的网络连接\r\n\r\n2.软件网络出现了故障\r\n\r\n"
    "3.请点此尝试重新连接\r\n\r\n4.请尝试重新启动软件\r\n\r\n");
const QString LOADING_TEXT = QStringLiteral("数据加载中，请稍后．．．");
}

class OfflineTest : public QObject
{
    Q_OBJECT

    static bool showsPage(WebPane *pane, const QString &file)
    {
        return KavoTest::WaitUntil([&] {
            return GameBox::js(pane, QStringLiteral("document.readyState == 'complete' && document.URL"))
                .toString().endsWith(file);
        }, 20000);
    }

    // "我的游戏" shows the three lists over whatever the portal does, and the
    // downloaded game plays from its list.
    static void listsAndDownloadedGameWork(GameBox &box, bool infoPageDown)
    {
        BA1 &w = *box.w;
        QTest::mouseClick(w.npc(Caption::ListTab), Qt::LeftButton);
        QCOMPARE(w.state().CurrentTab, Caption::ListTab);
        QVERIFY(w.zz(2)->isVisible());
        QVERIFY(!w.zzer()->isVisible());
        const char *const pages[] = {"/app/n.htm", "/app/c.htm", "/app/d.htm"};
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(w.list()->lc(i), Qt::LeftButton);
            QVERIFY2(showsPage(w.list()->Web3(), QString::fromLatin1(pages[i])), pages[i]);
        }
        QCOMPARE(GameBox::js(w.list()->Web3(), QStringLiteral("document.querySelector('a[href^=\"open://\"]').textContent")).toString(),
                 QStringLiteral("·风车"));

        const QPoint item = GameBox::centreOf(w.list()->Web3(), QStringLiteral("a[href^=\"open://\"]"));
        QVERIFY(item.x() >= 0);
        QTest::mouseClick(w.list()->Web3()->focusProxy(), Qt::LeftButton, {}, item);
        QTRY_COMPARE(w.state().CurrentTab, Caption::GameTab);
        QVERIFY(!w.zzer()->isVisible());
        QTRY_COMPARE(w.game()->Web2()->locationUrl(), box.paths.dataDir() + QStringLiteral("/flash.htm?104"));
        QVERIFY2(waitForGamePicture(w.game()->Web2()), "the downloaded game never showed");
        if (infoPageDown) {
            // A plain note in the side panel instead of the engine's error page.
            QTRY_VERIFY_WITH_TIMEOUT(GameBox::js(w.game()->Webr(), QStringLiteral("document.body ? document.body.innerText : ''"))
                                         .toString().contains(QStringLiteral("暂时无法显示游戏信息")), 20000);
        }
    }

    // The portal's tab shows its overlay again; a click on it retries, which
    // works once the portal is back on the same port.
    static void portalTabRetries(GameBox &box, const QString &overlayText, int port)
    {
        BA1 &w = *box.w;
        QTest::mouseClick(w.npc(Caption::PortalTab), Qt::LeftButton);
        QCOMPARE(w.state().CurrentTab, Caption::PortalTab);
        QVERIFY(w.zzer()->isVisible());
        QCOMPARE(w.webe()->text(), overlayText);

        // A hanging portal that goes away fails the load: the error panel.
        box.portal.stop();
        QTRY_COMPARE_WITH_TIMEOUT(w.state().PortalErrorShown, 1, 20000);
        QVERIFY(w.zzer()->isVisible());
        QCOMPARE(w.webe()->text(), ERROR_TEXT);
        QVERIFY(box.portal.start({QStringLiteral("--port"), QString::number(port)}));
        QTest::mouseClick(w.P2(), Qt::LeftButton);
        QVERIFY(!w.zzer()->isVisible());
        QVERIFY(w.zz(0)->isVisible());
        QVERIFY(box.portalReady());
    }

private Q_SLOTS:
    void portalDownAtStart()
    {
        GameBox box;
        QVERIFY(box.portal.start());
        const int port = box.portal.port();
        box.portal.stop();
        QVERIFY(box.openWindow(false));
        QVERIFY(box.placeDownloadedGame(QStringLiteral("104"), QStringLiteral("%u98CE%u8F66")));
        BA1 &w = *box.w;
        QTRY_COMPARE_WITH_TIMEOUT(w.state().PortalErrorShown, 1, 30000);
        QVERIFY(w.zzer()->isVisible());
        QCOMPARE(w.webe()->text(), ERROR_TEXT);

        listsAndDownloadedGameWork(box, true);
        // A downloaded copy that holds nothing is damaged, not missing.
        QVERIFY(WriteFile(box.paths.flashFile(QStringLiteral("105")), QByteArray()));
        box.play(QStringLiteral("tuzoflash://105$$$http://127.0.0.1:9/105.swf$$$%u574F"));
        QTRY_COMPARE_WITH_TIMEOUT(
            GameBox::js(w.game()->Web2(), QStringLiteral("document.body ? document.body.innerText : ''")).toString(),
            QStringLiteral("游戏文件已损坏，请重新下载。"), 20000);

        // A game that is not downloaded cannot be reached: the program's own
        // note with a retry, not the engine's error page.
        const auto bodyOf = [](WebPane *pane) {
            return GameBox::js(pane, QStringLiteral("document.body ? document.body.innerText : ''")).toString();
        };
        box.play(QStringLiteral("tuzoflash://101$$$%1games/101.swf$$$%u98CE%u8F66").arg(box.base()));
        QTRY_VERIFY_WITH_TIMEOUT(bodyOf(w.game()->Web2()).contains(QStringLiteral("暂时无法打开这个游戏")), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(bodyOf(w.game()->Webr()).contains(QStringLiteral("暂时无法显示游戏信息")), 20000);
        // The toolbar's reload tries the game again, and gets the note again.
        GameBox::js(w.game()->Web2(), QStringLiteral("document.body.innerText = 'old'"));
        w.c_z_click(Tool::Reload);
        QTRY_VERIFY_WITH_TIMEOUT(bodyOf(w.game()->Web2()).contains(QStringLiteral("暂时无法打开这个游戏")), 20000);

        portalTabRetries(box, ERROR_TEXT, port);
        // The portal's retry brings the game's information back; the note's
        // retry, the game.
        QVERIFY(showsPage(w.game()->Webr(), QStringLiteral("/app/flash_info.asp?id=101")));
        QVERIFY(!bodyOf(w.game()->Webr()).contains(QStringLiteral("暂时无法显示游戏信息")));
        QTest::mouseClick(w.npc(Caption::GameTab), Qt::LeftButton);
        const QPoint retry = GameBox::centreOf(w.game()->Web2(), QStringLiteral("#retry"));
        QVERIFY(retry.x() >= 0);
        QTest::mouseClick(w.game()->Web2()->focusProxy(), Qt::LeftButton, {}, retry);
        QVERIFY2(waitForGamePicture(w.game()->Web2()), "the game did not come after the retry");
    }

    void portalHangsAtStart()
    {
        GameBox box;
        QVERIFY(box.start({QStringLiteral("--fault"), QStringLiteral("/=stall:0")}, false));
        QVERIFY(box.placeDownloadedGame(QStringLiteral("104"), QStringLiteral("%u98CE%u8F66")));
        BA1 &w = *box.w;
        // The other pages of the portal load; its own page never ends loading.
        QVERIFY(showsPage(w.Web4(), QStringLiteral("/yy")));
        QVERIFY(w.zzer()->isVisible());
        QCOMPARE(w.webe()->text(), LOADING_TEXT);

        listsAndDownloadedGameWork(box, false);
        portalTabRetries(box, LOADING_TEXT, box.portal.port());
    }
};

QTEST_MAIN(OfflineTest)
#include "tst_ui_offline.moc"
