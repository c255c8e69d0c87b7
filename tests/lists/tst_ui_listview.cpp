// The list page against the demo portal: opening, deleting and clearing the
// three lists, adding favourites, and the list page's menu.
#include "lists/listpage.h"
#include "portal/localcontent.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/picturebox.h"
#include "shell/gui/trayicon.h"
#include "support/eventwait.h"
#include "support/gamebox.h"

#include <QDir>
#include <QLabel>
#include <QScopeGuard>
#include <QtTest>

namespace
{
const QString RECENT = QStringLiteral("date_n.dat");
const QString FAVOURITES = QStringLiteral("date_c.dat");
const QString DOWNLOADS = QStringLiteral("date_d.dat");
}

class ListViewTest : public QObject
{
    Q_OBJECT

    GameBox box;

    WebPane *list() const { return box.w->list()->Web3(); }

    // Shows list `tab` on the list page with `records` in its file, and waits
    // until the pane shows them.
    bool showList(int tab, const QString &listFile, const QStringList &records)
    {
        box.setList(listFile, records);
        GenerateListPage(box.paths, listFile);
        box.w->npc_Click(Caption::ListTab);
        QTest::mouseClick(box.w->list()->lc(tab), Qt::LeftButton);
        const QString page = box.paths.dataFile(PageNameFor(listFile));
        if (!KavoTest::WaitUntil([&] { return GameBox::js(list(), QStringLiteral("document.URL")).toString()
                                         == LocalContent::UrlForLocalPath(box.paths, page).toString(); }, 10000))
            return false;
        int items = 0;
        for (const QString &r : records)
            items += r.contains(QLatin1Char('|')) ? 1 : 0;
        return waitForItems(items);
    }

    // Waits until the list pane shows `count` items and stays so: a page
    // rewritten by a command reloads the pane. Settled means the pane has
    // stopped loading, what the rewrite queued has run, and the page still
    // shows them after that.
    bool waitForItems(int count)
    {
        const auto shows = [&] {
            return !list()->page()->isLoading()
                && GameBox::js(list(), QStringLiteral("document.readyState == 'complete' ? "
                                                      "document.querySelectorAll('a[href^=\"open://\"]').length : -1"))
                           .toInt()
                == count;
        };
        for (int i = 0; i < 20; ++i) {
            if (KavoTest::WaitUntil(shows, 10000) && KavoTest::Settle() && shows())
                return true;
        }
        return false;
    }

    // The game pane stops playing between checks: the player is heavy.
    void stopPlayer() { box.w->game()->Web2()->Navigate(QStringLiteral("about:blank")); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(box.start());
    }

    void cleanup() { stopPlayer(); }

    // Items of the recent list open the game and go to its top; the delete
    // link removes one line.
    void openAndDeleteRecent()
    {
        QVERIFY(showList(0, RECENT, {QStringLiteral("Alpha|101|101|1"), QStringLiteral("Beta|102|102|1"),
                                      QStringLiteral("Gamma|103|103|1")}));
        GameBox::clickElement(list(), QStringLiteral("a[href=\"open://2\"]"));
        QTRY_COMPARE(box.w->state().CurrentGameUrl, QStringLiteral("tuzoflash://102$$$102$$$Beta"));
        QCOMPARE(box.w->state().CurrentGameName, QStringLiteral("Beta"));
        QTRY_COMPARE(box.w->game()->Web2()->locationUrl(), box.base() + QStringLiteral("app/app.asp?id=102"));
        stopPlayer();
        QCOMPARE(box.w->state().CurrentTab, Caption::GameTab);
        QCOMPARE(box.listLines(RECENT),
                 (QStringList{QStringLiteral("Beta|102|102|1"), QStringLiteral("Alpha|101|101|1"),
                              QStringLiteral("Gamma|103|103|1")}));

        box.w->npc_Click(Caption::ListTab);
        QVERIFY(waitForItems(3));
        GameBox::clickElement(list(), QStringLiteral("a[href=\"delk://3\"]"));
        QTRY_COMPARE(box.listLines(RECENT),
                     (QStringList{QStringLiteral("Beta|102|102|1"), QStringLiteral("Alpha|101|101|1")}));
        QVERIFY(waitForItems(2));
    }

    // A points game kept in the favourites goes back to the portal pane as a
    // points command, which plays it and records it with its kind.
    void openAndDeleteFavourites()
    {
        QVERIFY(showList(1, FAVOURITES, {QStringLiteral("Wheel|107|107|0"), QStringLiteral("Town|104|104|1")}));
        QVERIFY(GameBox::js(list(), QStringLiteral("document.body.innerText")).toString().contains(QStringLiteral("[积分]")));
        GameBox::clickElement(list(), QStringLiteral("a[href=\"open://1\"]"));
        QTRY_COMPARE(box.w->state().CurrentGameUrl, QStringLiteral("tuzojf://107$$$107$$$Wheel"));
        QTRY_COMPARE(box.w->game()->Web2()->locationUrl(), box.base() + QStringLiteral("app/app.asp?id=107"));
        stopPlayer();
        QCOMPARE(box.listLines(RECENT).value(0), QStringLiteral("Wheel|107|107|0"));

        box.w->npc_Click(Caption::ListTab);
        QVERIFY(waitForItems(2));
        GameBox::clickElement(list(), QStringLiteral("a[href=\"delk://1\"]"));
        QTRY_COMPARE(box.listLines(FAVOURITES), QStringList{QStringLiteral("Town|104|104|1")});
        QCOMPARE(box.listLines(RECENT).value(0), QStringLiteral("Wheel|107|107|0"));
    }

    // A downloaded game plays from the local player page; one whose file is
    // gone is reported and leaves the list; deleting an item deletes its file.
    void openAndDeleteDownloads()
    {
        QDir().mkpath(box.paths.flashDir());
        QVERIFY(WriteFile(box.paths.flashFile(QStringLiteral("105")), "swf"));
        QVERIFY(showList(2, DOWNLOADS, {QStringLiteral("Here|105|105|1"), QStringLiteral("Gone|106|106|1"),
                                         QStringLiteral("Other|102|102|1")}));

        GameBox::clickElement(list(), QStringLiteral("a[href=\"open://1\"]"));
        QTRY_COMPARE(box.w->state().CurrentGameUrl, QStringLiteral("tuzoflash://105$$$105$$$Here"));
        QTRY_COMPARE(box.w->game()->Web2()->locationUrl(), box.paths.dataFile(QStringLiteral("flash.htm?105")));
        stopPlayer();

        box.w->npc_Click(Caption::ListTab);
        QVERIFY(waitForItems(3));
        {
            MessageAnswer answer(QMessageBox::Ok);
            GameBox::clickElement(list(), QStringLiteral("a[href=\"open://2\"]"));
            QTRY_COMPARE(answer.count, 1);
            QCOMPARE(answer.text, QStringLiteral("当前下载的游戏文件不存在，可能已经被你删除。"));
            QCOMPARE(answer.title, QStringLiteral("Kavo游戏盒"));
            QCOMPARE(answer.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
        QCOMPARE(box.w->state().CurrentGameName, QStringLiteral("Gone"));
        QCOMPARE(box.w->state().CurrentGameUrl, QStringLiteral("tuzoflash://105$$$105$$$Here"));
        QCOMPARE(box.listLines(DOWNLOADS),
                 (QStringList{QStringLiteral("Here|105|105|1"), QStringLiteral("Other|102|102|1")}));
        QVERIFY(waitForItems(2));

        GameBox::clickElement(list(), QStringLiteral("a[href=\"delk://1\"]"));
        QTRY_COMPARE(box.listLines(DOWNLOADS), QStringList{QStringLiteral("Other|102|102|1")});
        QVERIFY(!QFile::exists(box.paths.flashFile(QStringLiteral("105"))));
    }

    // Index texts: every "/" of a delete command goes, only a last one of an
    // open command; anything that is no line number does nothing.
    void indexTexts()
    {
        QStringList records;
        for (int i = 1; i <= 13; ++i)
            records << QStringLiteral("G%1|%1|%1|1").arg(i);
        QVERIFY(showList(0, RECENT, records));

        GameBox::followLink(list(), QStringLiteral("delk://1/2"));
        QTRY_COMPARE(box.listLines(RECENT).size(), 12);
        QVERIFY(!box.listLines(RECENT).contains(QStringLiteral("G12|12|12|1")));

        // The rewritten page has reloaded; each link then reaches the
        // window's handler, which does nothing with it.
        QVERIFY(waitForItems(12));
        int handled = 0;
        const auto counter = connect(list(), &WebPane::BeforeNavigate2, this, [&] { ++handled; });
        const auto disconnectCounter = qScopeGuard([&] { disconnect(counter); });
        for (const char *bad : {"delk://x", "delk://../1x", "open://3x/", "open://", "open://0"}) {
            const int before = handled;
            GameBox::followLink(list(), QString::fromLatin1(bad));
            QVERIFY2(KavoTest::WaitUntil([&] { return handled > before; }, 10000), bad);
        }
        QVERIFY(KavoTest::Settle());
        QCOMPARE(box.listLines(RECENT).size(), 12);
        QCOMPARE(box.w->state().CurrentTab, Caption::ListTab);

        GameBox::followLink(list(), QStringLiteral("open://3/"));
        QTRY_COMPARE(box.w->state().CurrentGameUrl, QStringLiteral("tuzoflash://3$$$3$$$G3"));
        stopPlayer();
    }

    // Ids come from pages: one that is not a plain number names no file, so
    // nothing outside the folder flash is played or deleted.
    void traversalIdsTouchNothingOutsideFlash()
    {
        QDir().mkpath(box.paths.flashDir());
        const QString outside = box.paths.appDir() + QStringLiteral("/evil.swf");
        QVERIFY(WriteFile(outside, "keep"));
        QVERIFY(showList(2, DOWNLOADS, {QStringLiteral("Evil|../evil|../evil|1"), QStringLiteral("Evil2|../evil|../evil|1")}));

        GameBox::clickElement(list(), QStringLiteral("a[href=\"delk://1\"]"));
        QTRY_COMPARE(box.listLines(DOWNLOADS), QStringList{QStringLiteral("Evil2|../evil|../evil|1")});
        QVERIFY(waitForItems(1));
        {
            MessageAnswer answer(QMessageBox::Ok);
            GameBox::clickElement(list(), QStringLiteral("a[href=\"open://1\"]"));
            QTRY_COMPARE(answer.count, 1);
        }
        QVERIFY(QFile::exists(outside));
        QCOMPARE(box.listLines(DOWNLOADS), QStringList{QString()});
    }

    // The clear link asks first; No keeps the list, Yes empties only the
    // list shown, and the downloads list takes every .swf file with it.
    void clearEachList()
    {
        struct Case
        {
            int tab;
            QString file;
            const char *question;
        };
        const Case cases[] = {
            {1, FAVOURITES, "确定要删除全部[收藏的游戏]列表吗？"},
            {0, RECENT, "确定要删除全部[最近玩过的游戏]列表吗？"},
            {2, DOWNLOADS, "确定要删除全部[下载]记录吗？此操作将同时删除所有下载的游戏文件！"},
        };
        QDir().mkpath(box.paths.flashDir());
        for (const Case &c : cases) {
            for (const QString &f : {FAVOURITES, RECENT, DOWNLOADS})
                box.setList(f, {QStringLiteral("Kept|1|1|1")});
            QVERIFY(showList(c.tab, c.file, {QStringLiteral("A|1|1|1"), QStringLiteral("B|2|2|1")}));
            for (const char *name : {"1.swf", "77.SWF", "notes.txt"})
                WriteFile(box.paths.flashDir() + QLatin1Char('/') + QString::fromLatin1(name), "x");

            {
                MessageAnswer answer(QMessageBox::No);
                QTest::mouseClick(box.w->list()->shan_name(), Qt::LeftButton);
                QTRY_COMPARE(answer.count, 1);
                QCOMPARE(answer.text, QString::fromUtf8(c.question));
                QCOMPARE(answer.title, QStringLiteral("Kavo游戏盒提示："));
                QCOMPARE(answer.buttons, QMessageBox::Yes | QMessageBox::No);
                QCOMPARE(answer.icon, QMessageBox::NoIcon);
            }
            QCOMPARE(box.listLines(c.file).size(), 2);
            {
                MessageAnswer answer(QMessageBox::Yes);
                QTest::mouseClick(box.w->list()->shan_name(), Qt::LeftButton);
                QTRY_COMPARE(answer.count, 1);
            }
            QCOMPARE(box.listLines(c.file), QStringList{QString()});
            QVERIFY(waitForItems(0));
            for (const QString &f : {FAVOURITES, RECENT, DOWNLOADS}) {
                if (f != c.file)
                    QCOMPARE(box.listLines(f), QStringList{QStringLiteral("Kept|1|1|1")});
            }
            const QStringList left = QDir(box.paths.flashDir()).entryList(QDir::Files, QDir::Name);
            if (c.file == DOWNLOADS)
                QCOMPARE(left, QStringList{QStringLiteral("notes.txt")});
            else
                QVERIFY2(left.contains(QStringLiteral("1.swf")) && left.contains(QStringLiteral("77.SWF")),
                         qPrintable(left.join(QLatin1Char(' '))));
        }
    }

    // Favourites of both kinds from games played in the portal (without a
    // game, or with a command of another scheme, the headless list commands'
    // table: the window's current game is always a play command).
    void favourites()
    {
        box.setList(FAVOURITES, {QString()});

        box.w->npc_Click(Caption::PortalTab);
        GameBox::clickElement(box.w->Web1(), QStringLiteral("#g103"), QStringLiteral("tuzomain"));
        QTRY_VERIFY(box.w->state().CurrentGameUrl.startsWith(QLatin1String("tuzoflash://103$$$")));
        stopPlayer();
        box.w->shoucang();
        QCOMPARE(box.w->tray()->lastBalloon().text, QStringLiteral("快乐打气球已添加到收藏！"));

        box.w->npc_Click(Caption::PortalTab);
        GameBox::clickElement(box.w->Web1(), QStringLiteral("#g107"), QStringLiteral("tuzomain"));
        QTRY_VERIFY(box.w->state().CurrentGameUrl.startsWith(QLatin1String("tuzojf://107$$$")));
        stopPlayer();
        box.w->shoucang();
        QCOMPARE(box.w->tray()->lastBalloon().text, QStringLiteral("积分大转盘已添加到收藏！"));

        const QStringList favourites = box.listLines(FAVOURITES);
        QCOMPARE(favourites.size(), 2);
        QCOMPARE(favourites.at(0), QStringLiteral("%u79EF%u5206%u5927%u8F6C%u76D8|107|107|0"));
        QCOMPARE(favourites.at(1),
                 QStringLiteral("%u5FEB%u4E50%u6253%u6C14%u7403|103|%1games/103.swf|1").arg(box.base()));

        box.w->npc_Click(Caption::ListTab);
        QTest::mouseClick(box.w->list()->lc(1), Qt::LeftButton);
        QVERIFY(waitForItems(2));
        const QString text = GameBox::js(list(), QStringLiteral("document.body.innerText")).toString();
        QVERIFY2(text.contains(QStringLiteral("积分大转盘[积分]")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("快乐打气球[积分]")));
    }

    // A right click on a game link offers its two commands; on the delete
    // link or on empty space there is no menu at all.
    void contextMenu()
    {
        QVERIFY(showList(0, RECENT, {QStringLiteral("Alpha|101|101|1"), QStringLiteral("Beta|102|102|1"),
                                      QStringLiteral("Gamma|103|103|1")}));
        {
            MenuAnswer menu;
            // Both clicks reach the window's handler (the page is hooked),
            // which would open its menu inside the signal.
            int handed = 0;
            const auto counter = connect(list(), &WebPane::ContextMenu, this, [&] { ++handed; });
            const auto disconnectCounter = qScopeGuard([&] { disconnect(counter); });
            GameBox::rightClick(list(), GameBox::centreOf(list(), QStringLiteral("a[href=\"delk://2\"]")));
            GameBox::rightClick(list(), QPoint(300, 300));
            QVERIFY(KavoTest::WaitUntil([&] { return handed == 2; }, 10000));
            QVERIFY(KavoTest::Settle());
            QCOMPARE(menu.count, 0);
            QVERIFY(!QApplication::activePopupWidget());
        }
        {
            MenuAnswer menu(QStringLiteral("删除游戏"));
            const QPoint at = GameBox::centreOf(list(), QStringLiteral("a[href=\"open://2\"]"));
            GameBox::rightClick(list(), at);
            QTRY_COMPARE(menu.count, 1);
            QCOMPARE(menu.entries, (QStringList{QStringLiteral("开始游戏"), QStringLiteral("删除游戏"),
                                                QStringLiteral("导出存档…"), QStringLiteral("导入存档…")}));
            QCOMPARE(menu.position, list()->mapToGlobal(at));
            QCOMPARE(box.w->state().ContextGameLink, QStringLiteral("open://2"));
            QTRY_COMPARE(box.listLines(RECENT),
                         (QStringList{QStringLiteral("Alpha|101|101|1"), QStringLiteral("Gamma|103|103|1")}));
        }
        QVERIFY(waitForItems(2));
        {
            MenuAnswer menu(QStringLiteral("开始游戏"));
            GameBox::rightClick(list(), GameBox::centreOf(list(), QStringLiteral("a[href=\"open://2\"]")));
            QTRY_COMPARE(box.w->state().CurrentGameUrl, QStringLiteral("tuzoflash://103$$$103$$$Gamma"));
            stopPlayer();
        }
    }
};

QTEST_MAIN(ListViewTest)
#include "tst_ui_listview.moc"
