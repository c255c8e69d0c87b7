// When the process drawing a pane ends (its page ran out of memory, the
// system ended it), the program carries on: the portal shows its error panel,
// whose retry and the home tab bring the portal back; the game pane shows the
// program's note and the toolbar's reload plays the game again; the list pane
// loads its page again by itself; a page that ends at every load is loaded
// twice, then its pane shows its error state.
#include "portal/paneevents.h"
#include "shell/gui/clicklabel.h"
#include "support/eventwait.h"
#include "support/gamebox.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

namespace
{
// Ends a pane's renderer the way the system's out-of-memory killer does.
bool killRenderer(WebPane *pane)
{
    const qint64 pid = pane->page()->renderProcessPid();
    return pid > 0 && ::kill(pid_t(pid), SIGKILL) == 0;
}

QString title(WebPane *pane)
{
    return GameBox::js(pane, QStringLiteral("document.title")).toString();
}
} // namespace

class RendererEndTest : public QObject
{
    Q_OBJECT

    GameBox box;

    int requestsOf(const QString &target) const
    {
        return int(box.portal.requests().count(target));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(box.start({QStringLiteral("--pages"), QStringLiteral(KAVO_SOURCE_DIR "/tests/pages")}));
    }

    // However the portal page's renderer ended, in front or behind another
    // page, the error panel's retry line and the home tab bring it back.
    void portalRendererEnds_data()
    {
        QTest::addColumn<bool>("outOfMemory");
        QTest::addColumn<bool>("behind");
        QTest::addColumn<bool>("homeTab");
        QTest::newRow("out of memory, retry line") << true << false << false;
        QTest::newRow("out of memory, home tab") << true << false << true;
        QTest::newRow("killed behind the lists, home tab") << false << true << true;
    }

    void portalRendererEnds()
    {
        QFETCH(bool, outOfMemory);
        QFETCH(bool, behind);
        QFETCH(bool, homeTab);
        BA1 &w = *box.w;
        QSignalSpy ended(w.Web1(), &WebPane::RendererEnded);
        if (behind)
            QTest::mouseClick(w.npc(Caption::ListTab), Qt::LeftButton);
        if (outOfMemory)
            w.Web1()->Navigate(box.base() + QStringLiteral("pages/oom.html"));
        else
            QVERIFY(killRenderer(w.Web1()));
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 60000);
        QCOMPARE(w.webe()->text(), PortalErrorText());
        QCOMPARE(w.zzer()->isVisible(), !behind);
        QVERIFY(!w.zz(0)->isVisible());

        QTest::mouseClick(homeTab ? static_cast<QWidget *>(w.npc(Caption::PortalTab)) : w.P2(), Qt::LeftButton);
        QVERIFY(box.portalReady());
        QVERIFY(!w.zzer()->isVisible());
        QVERIFY(w.zz(0)->isVisible());
        QVERIFY(!w.npc(Caption::PortalTab)->isEnabled());
    }

    // Running or paused, a game whose renderer ends leaves the note in a
    // shown pane with the toolbar in its running state; the reload plays the
    // game again in a new renderer.
    void gameRendererEnds()
    {
        BA1 &w = *box.w;
        const QString player = box.base() + QStringLiteral("flash.htm?") + box.base() + QStringLiteral("games/104.swf");
        box.play(QStringLiteral("tuzoflash://104$$$%1games/104.swf$$$接苹果").arg(box.base()));
        QTRY_COMPARE(w.game()->Web2()->locationUrl(), player);
        QVERIFY(waitForGamePicture(w.game()->Web2()));
        for (const bool paused : {false, true}) {
            if (paused)
                w.c_z_click(Tool::StopContinue);
            QCOMPARE(w.game()->Web2()->isHidden(), paused);
            const qint64 before = w.game()->Web2()->page()->renderProcessPid();
            QVERIFY(killRenderer(w.game()->Web2()));
            QTRY_COMPARE(title(w.game()->Web2()), QStringLiteral("游戏已停止"));
            QVERIFY(w.game()->Web2()->isVisible());
            QCOMPARE(w.game()->c_z(Tool::StopContinue)->toolTipText(), QStringLiteral("停止"));
            QCOMPARE(w.game()->Web2()->endedAddress(), player);

            w.c_z_click(Tool::Reload);
            QTRY_COMPARE(w.game()->Web2()->locationUrl(), player);
            QVERIFY(waitForGamePicture(w.game()->Web2()));
            QVERIFY(w.game()->Web2()->page()->renderProcessPid() != before);
            QVERIFY(w.game()->Web2()->endedAddress().isEmpty());
        }
    }

    void otherPanesLoadAgainOnce()
    {
        BA1 &w = *box.w;
        w.npc_Click(Caption::ListTab);
        QTRY_VERIFY(GameBox::js(w.list()->Web3(), QStringLiteral("location.pathname")).toString()
                    == QLatin1String("/app/n.htm"));
        QSignalSpy listLoads(w.list()->Web3(), &WebPane::DownloadComplete);
        QVERIFY(killRenderer(w.list()->Web3()));
        QTRY_COMPARE(listLoads.count(), 1);
        QTRY_VERIFY(GameBox::js(w.list()->Web3(), QStringLiteral("document.querySelector('a[href^=\"open://\"]') != null"))
                        .toBool());

        // A page that ends its renderer at every load: loaded once more,
        // then the side panel's note, and no further load.
        QSignalSpy ended(w.game()->Webr(), &WebPane::RendererEnded);
        const int earlierLoads = requestsOf(QStringLiteral("/pages/oom.html"));
        w.game()->Webr()->Navigate(box.base() + QStringLiteral("pages/oom.html"));
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 90000);
        QCOMPARE(ended.at(0).at(0).toBool(), false);
        QCOMPARE(ended.at(1).at(0).toBool(), true);
        QTRY_COMPARE(title(w.game()->Webr()), QStringLiteral("游戏信息"));
        GameBox::js(w.game()->Webr(), QStringLiteral("document.readyState"));
        QVERIFY(KavoTest::Settle());
        QCOMPARE(requestsOf(QStringLiteral("/pages/oom.html")), earlierLoads + 2);
        QCOMPARE(ended.count(), 2);
    }
};

int main(int argc, char *argv[])
{
    // The script engine's heap is kept small, so that a page runs out of
    // memory in a moment rather than after gigabytes.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --js-flags=--max-old-space-size=128");
    QApplication app(argc, argv);
    RendererEndTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_rendererend.moc"
