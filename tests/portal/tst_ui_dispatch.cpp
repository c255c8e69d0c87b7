// Play commands against the demo portal: a click in the portal, the forms of
// the command a page may send, and commands handed on by the game pane.
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "support/eventwait.h"
#include "support/gamebox.h"

#include <QDir>
#include <QLabel>
#include <QtTest>

namespace
{
const QString RECENT = QStringLiteral("date_n.dat");
const QString TITLE = QStringLiteral("当前：在线小游戏 >> %1：");
}

class DispatchTest : public QObject
{
    Q_OBJECT

    GameBox box;

    QString appPage(const QString &id) const { return box.base() + QStringLiteral("app/app.asp?id=") + id; }
    QString infoPage(const QString &id) const { return box.base() + QStringLiteral("app/flash_info.asp?id=") + id; }

    QString m_playerPage; // what the game pane was last asked to load
    QString m_infoPage;   // and the side panel

    // The portal page sends `command` and the game page takes over. The game
    // pane is stopped at once: what it was asked to load is what counts here,
    // and the player is heavy.
    bool play(const QString &command)
    {
        box.w->npc_Click(Caption::PortalTab);
        QSignalSpy player(box.w->game()->Web2(), &WebPane::BeforeNavigate2);
        QSignalSpy info(box.w->game()->Webr(), &WebPane::BeforeNavigate2);
        GameBox::followLink(box.w->Web1(), command);
        if (!KavoTest::WaitUntil([&] { return box.w->state().CurrentGameUrl == command; }, 5000))
            return false;
        m_playerPage = player.isEmpty() ? QString() : player.first().first().toString();
        m_infoPage = info.isEmpty() ? QString() : info.first().first().toString();
        box.w->game()->Web2()->Navigate(QStringLiteral("about:blank"));
        return true;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(box.start()); }

    // The game pane stops playing between checks: the player is heavy.
    void cleanup() { box.w->game()->Web2()->Navigate(QStringLiteral("about:blank")); }

    // A click on a game in the portal's frame plays it: the first game of the
    // run also shows the side panel.
    void portalClickPlaysTheGame()
    {
        BA1 &w = *box.w;
        QCOMPARE(w.game()->c_z(Tool::SidePanel)->toolTipText(), QStringLiteral("显示"));
        const QPoint at = GameBox::centreOf(w.Web1(), QStringLiteral("#g102"), QStringLiteral("tuzomain"));
        QVERIFY(at.x() > 0);
        // The first clicks after a load may come before the page takes input.
        for (int i = 0; i < 20 && w.state().CurrentGameUrl == QLatin1String("0"); ++i) {
            QTest::mouseClick(w.Web1()->focusProxy(), Qt::LeftButton, {}, at);
            KavoTest::WaitUntil([&] { return w.state().CurrentGameUrl != QLatin1String("0"); }, 500);
        }

        const QString name = QStringLiteral("%u661F%u591C%u63A5%u82F9%u679C");
        QTRY_COMPARE(w.state().CurrentGameUrl, QStringLiteral("tuzoflash://102$$$102$$$") + name);
        QCOMPARE(w.state().CurrentGameName, name);
        QCOMPARE(w.game()->yxname()->text(), TITLE.arg(QStringLiteral("星夜接苹果")));
        QCOMPARE(w.state().CurrentTab, Caption::GameTab);
        QVERIFY(w.zz(1)->isVisible());
        QVERIFY(w.game()->Web2()->isVisible());
        QCOMPARE(w.game()->c_z(Tool::SidePanel)->toolTipText(), QStringLiteral("隐藏"));
        QVERIFY(w.game()->Pic2()->isVisible());
        QCOMPARE(box.listLines(RECENT).value(0), name + QStringLiteral("|102|102|1"));
        QTRY_COMPARE(w.game()->Web2()->locationUrl(), appPage(QStringLiteral("102")));
        QTRY_COMPARE(w.game()->Webr()->locationUrl(), infoPage(QStringLiteral("102")));
        // The portal stays where it was.
        QCOMPARE(w.Web1()->locationUrl(), box.base());
        QCOMPARE(GameBox::js(w.Web1(), QStringLiteral("frames['tuzomain'].location.href")).toString(),
                 box.base() + QStringLiteral("home.html"));
    }

    // The portal's script button navigates to a play command by script.
    void scriptNavigationPlaysTheGame()
    {
        BA1 &w = *box.w;
        w.npc_Click(Caption::PortalTab);
        GameBox::js(w.Web1(), QStringLiteral("Math.random = function () { return 0; };"
                                           "document.getElementById('rand').click();"));
        const QString expected = QStringLiteral("tuzoflash://101$$$%1games/101.swf$$$%u5F69%u7403%u5F39%u8DF3").arg(box.base());
        QTRY_COMPARE(w.state().CurrentGameUrl, expected);
        QTRY_COMPARE(w.game()->Web2()->locationUrl(), box.base() + QStringLiteral("flash.htm?") + box.base() + QStringLiteral("games/101.swf"));
    }

    // The forms a page may send, each checked where it goes wrong most easily.
    void commandForms()
    {
        BA1 &w = *box.w;
        QDir().mkpath(box.paths.flashDir());

        // Trailing "/": dropped from the fields, kept in the current command.
        QVERIFY(play(QStringLiteral("tuzoflash://12$$$34$$$Name/")));
        QCOMPARE(w.game()->yxname()->text(), TITLE.arg(QStringLiteral("Name")));
        QCOMPARE(box.listLines(RECENT).value(0), QStringLiteral("Name|12|34|1"));
        QCOMPARE(m_playerPage, appPage(QStringLiteral("34")));
        QCOMPARE(m_infoPage, infoPage(QStringLiteral("12")));

        // A downloaded copy plays from the local player page.
        QVERIFY(WriteFile(box.paths.flashFile(QStringLiteral("12")), "swf"));
        QVERIFY(play(QStringLiteral("tuzoflash://12$$$34$$$Name")));
        QCOMPARE(m_playerPage, box.paths.dataFile(QStringLiteral("flash.htm")) + QStringLiteral("?12"));

        // "http://" anywhere in the address: the portal's player for a file.
        QVERIFY(play(QStringLiteral("tuzoflash://13$$$x-http://h/g.swf$$$Other")));
        QCOMPARE(m_playerPage, box.base() + QStringLiteral("flash.htm?x-http://h/g.swf"));

        // No third field: the name and title of the game before stay.
        QVERIFY(play(QStringLiteral("tuzoflash://14$$$15")));
        QCOMPARE(w.state().CurrentGameName, QStringLiteral("Other"));
        QCOMPARE(w.game()->yxname()->text(), TITLE.arg(QStringLiteral("Other")));
        QCOMPARE(box.listLines(RECENT).value(0), QStringLiteral("Other|14|15|1"));

        // The scheme goes wherever it stands.
        QVERIFY(play(QStringLiteral("tuzoflash://16$$$tuzoflash://17$$$Third")));
        QCOMPARE(m_playerPage, appPage(QStringLiteral("17")));
        QCOMPARE(box.listLines(RECENT).value(0), QStringLiteral("Third|16|17|1"));

        // A points game, even with a file of its number, plays in the portal.
        QVERIFY(WriteFile(box.paths.flashFile(QStringLiteral("107")), "swf"));
        QVERIFY(play(QStringLiteral("tuzojf://107$$$107$$$Points")));
        QCOMPARE(m_playerPage, appPage(QStringLiteral("107")));
        QCOMPARE(box.listLines(RECENT).value(0), QStringLiteral("Points|107|107|0"));

        // Ids that are no plain number play, but name no file; only a whole
        // number makes a record.
        QVERIFY(WriteFile(box.paths.appDir() + QStringLiteral("/evil.swf"), "x"));
        QVERIFY(play(QStringLiteral("tuzoflash://../evil$$$21$$$Evil")));
        QCOMPARE(m_playerPage, appPage(QStringLiteral("21")));
        QVERIFY(play(QStringLiteral("tuzoflash://x1$$$22$$$Word")));
        QCOMPARE(box.listLines(RECENT).value(0), QStringLiteral("Points|107|107|0"));
        QVERIFY(play(QStringLiteral("tuzoflash://012$$$23$$$Zero")));
        QCOMPARE(box.listLines(RECENT).value(0), QStringLiteral("Zero|12|23|1"));
    }

    // Other letter case is no command: the pane fails quietly and nothing
    // changes, the portal's error panel included.
    void otherLetterCaseIsNoCommand()
    {
        BA1 &w = *box.w;
        const QString before = w.state().CurrentGameUrl;
        const QStringList recent = box.listLines(RECENT);
        QSignalSpy errors(w.Web1(), &WebPane::NavigateError);
        w.npc_Click(Caption::PortalTab);
        GameBox::followLink(w.Web1(), QStringLiteral("TUZOFLASH://18$$$19$$$Upper"));
        QTRY_COMPARE(errors.count(), 1);
        QCOMPARE(w.state().CurrentGameUrl, before);
        QCOMPARE(box.listLines(RECENT), recent);
        QCOMPARE(w.state().CurrentTab, Caption::PortalTab);
        QVERIFY(!w.zzer()->isVisible());
        QCOMPARE(w.state().PortalErrorShown, 0);
    }

    // A page in the game pane starts another game through the portal pane,
    // which starts it running with the side panel shown, whatever the
    // toolbar's state was.
    void gamePaneHandsCommandsOn()
    {
        BA1 &w = *box.w;
        QVERIFY(play(QStringLiteral("tuzoflash://101$$$101$$$First")));
        w.game()->Web2()->show(); // as it was when the player was stopped above
        w.c_z_click(Tool::StopContinue);
        w.c_z_click(Tool::SidePanel);
        QVERIFY(!w.game()->Web2()->isVisible());
        QCOMPARE(w.game()->c_z(Tool::StopContinue)->toolTipText(), QStringLiteral("继续"));
        QVERIFY(!w.game()->Pic2()->isVisible());

        w.game()->Web2()->Navigate(box.base() + QStringLiteral("yy"));
        QTRY_COMPARE(GameBox::js(w.game()->Web2(), QStringLiteral("document.readyState == 'complete' && document.URL")).toString(),
                     box.base() + QStringLiteral("yy"));
        GameBox::followLink(w.game()->Web2(), QStringLiteral("tuzoflash://103$$$103$$$Next/"));
        QTRY_COMPARE(w.state().CurrentGameUrl, QStringLiteral("tuzoflash://103$$$103$$$Next/"));
        QVERIFY(w.game()->Web2()->isVisible());
        QCOMPARE(w.game()->c_z(Tool::StopContinue)->toolTipText(), QStringLiteral("停止"));
        QCOMPARE(w.game()->c_z(Tool::SidePanel)->toolTipText(), QStringLiteral("隐藏"));
        QVERIFY(w.game()->Pic2()->isVisible());
    }
};

QTEST_MAIN(DispatchTest)
#include "tst_ui_dispatch.moc"
