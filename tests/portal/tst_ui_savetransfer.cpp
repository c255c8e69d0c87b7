// A game's saves follow the player: from the online game to its downloaded
// copy, to a .sol file and back. The demo portal's game 108 counts space bar
// presses in its save "counter" and reports each count as /save/report?n=N.
#include "player/gamesaves.h"
#include "player/gui/savestorage.h"
#include "support/gamebox.h"
#include "support/savegame.h"

#include <QRegularExpression>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QtTest>

namespace
{
using SaveGame::ReportedCounts;
}

class SaveTransferTest : public QObject
{
    Q_OBJECT

    // The saves of one origin under one prefix, as the program reads them.
    static SaveStorage::Saves savesAt(GameBox &box, const QUrl &page, const QString &prefix)
    {
        SaveStorage store(box.w->webProfile());
        std::optional<SaveStorage::Saves> got;
        bool ended = false;
        store.read(page, prefix, [&](std::optional<SaveStorage::Saves> s) {
            got = s;
            ended = true;
        });
        KavoTest::WaitUntil([&] { return ended; }, 20000);
        return got.value_or(SaveStorage::Saves{{QStringLiteral("<unreadable>"), QByteArray()}});
    }

private Q_SLOTS:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("js=false")); }

    void savesFollowTheGame()
    {
        RequestLog requests;
        GameBox box;
        QVERIFY(box.start());
        QVERIFY(box.installLocalPlayer());
        box.w->webProfile()->setUrlRequestInterceptor(&requests);
        const QString address = box.base() + QStringLiteral("games/108.swf");
        const QString command = QStringLiteral("tuzoflash://108$$$") + address + QStringLiteral("$$$%u8BA1%u6570");
        const auto online = [&] { return ReportedCounts(box.portal.requests()); };
        const auto offline = [&] {
            return ReportedCounts(requests.urls.filter(QRegularExpression(QStringLiteral("^kavo://app/"))));
        };
        const QUrl portalPage(box.base() + QStringLiteral("lib/wenc.txt"));
        const QUrl localPage(QStringLiteral("kavo://app/app/i.gif"));
        const QString onlineKey = QStringLiteral("127.0.0.1/games/108.swf/");
        const QString localKey = QStringLiteral("app/app/108.swf/");

        // Online: three presses; another game of the portal has a save too.
        QCOMPARE(SaveGame::Play(box, command, online), 0);
        QVERIFY(SaveGame::PressSpace(box, online, 3));
        GameBox::js(box.w->Web1(), QStringLiteral("localStorage.setItem('127.0.0.1/games/101.swf/other', 'AL8A')"));

        // The download carries the count to the copy, and nothing else.
        MessageAnswer boxes(QMessageBox::Ok);
        box.w->c_z_click(Tool::Download);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(box.paths.flashFile(QStringLiteral("108"))), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(savesAt(box, localPage, localKey).contains(QStringLiteral("counter")), 20000);
        QCOMPARE(savesAt(box, localPage, localKey).keys(), QStringList{QStringLiteral("counter")});
        QVERIFY(savesAt(box, localPage, QStringLiteral("app/app/101.swf/")).isEmpty());
        QVERIFY(savesAt(box, localPage, QStringLiteral("127.0.0.1/")).isEmpty());

        // Offline, the copy goes on from three.
        QCOMPARE(SaveGame::Play(box, command, offline), 3);
        QCOMPARE(box.w->game()->Web2()->url().scheme(), QStringLiteral("kavo"));
        QVERIFY(SaveGame::PressSpace(box, offline, 1));

        // Exported: the copy's save, as a .sol file.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("108.sol"));
        int exported = -1;
        box.w->ExportSaves(QStringLiteral("108"), address, file, [&](int n) { exported = n; });
        QTRY_COMPARE_WITH_TIMEOUT(exported, 1, 20000);
        const auto sol = GameSaves::decodeSol(ReadFile(file));
        QVERIFY(sol);
        QCOMPARE(sol->name, QStringLiteral("counter"));
        QCOMPARE(ReadFile(file), savesAt(box, localPage, localKey).value(QStringLiteral("counter")));

        // Cleared from both; bad files change nothing and say why.
        GameBox::js(box.w->Web1(), QStringLiteral("localStorage.removeItem('%1counter')").arg(onlineKey));
        GameBox::js(box.w->game()->Web2(), QStringLiteral("localStorage.removeItem('%1counter')").arg(localKey));
        const QByteArray good = ReadFile(file);
        const QList<std::pair<QString, QByteArray>> bad = {
            {QStringLiteral("cut.sol"), good.left(good.size() - 4)},
            {QStringLiteral("109-counter.sol"), good},
            {QStringLiteral("huge.sol"), QByteArray(GameSaves::MAX_SAVE_BYTES + 10, 'x')},
            {QStringLiteral("notes.sol"), QByteArray("just some text")},
        };
        const QStringList said = {GameSaves::problemText(GameSaves::SolProblem::Damaged), GameSaves::otherGameText(),
                                  GameSaves::problemText(GameSaves::SolProblem::TooLarge),
                                  GameSaves::problemText(GameSaves::SolProblem::NotASave)};
        for (int i = 0; i < bad.size(); ++i) {
            QVERIFY(WriteFile(dir.filePath(bad[i].first), bad[i].second));
            int imported = -1;
            box.w->ImportSaves(QStringLiteral("108"), address, {file, dir.filePath(bad[i].first)},
                               [&](int n) { imported = n; });
            QTRY_COMPARE(imported, 0);
            QCOMPARE(boxes.texts.last(), bad[i].first + QLatin1Char('\n') + said[i]);
        }
        QVERIFY(savesAt(box, portalPage, onlineKey).isEmpty());
        QVERIFY(savesAt(box, localPage, localKey).isEmpty());

        // Imported: online and in the copy; the copy goes on from four.
        int imported = -1;
        box.w->ImportSaves(QStringLiteral("108"), address, {file}, [&](int n) { imported = n; });
        QTRY_COMPARE_WITH_TIMEOUT(imported, 1, 20000);
        QCOMPARE(boxes.texts.last(), QStringLiteral("已导入1个存档。"));
        QCOMPARE(savesAt(box, portalPage, onlineKey).value(QStringLiteral("counter")), good);
        QCOMPARE(savesAt(box, localPage, localKey).value(QStringLiteral("counter")), good);
        QCOMPARE(SaveGame::Play(box, command, offline), 4);

        // A copy with saves of its own keeps them when the online ones come again.
        GameBox::js(box.w->Web1(), QStringLiteral("localStorage.setItem('%1counter', 'AL8A')").arg(onlineKey));
        int carried = -1;
        box.w->CarrySavesToDownload(QStringLiteral("108"), address, [&](int n) { carried = n; });
        QTRY_COMPARE_WITH_TIMEOUT(carried, 0, 20000);
        QCOMPARE(savesAt(box, localPage, localKey).keys(), QStringList{QStringLiteral("counter")});
        QVERIFY(savesAt(box, localPage, localKey).value(QStringLiteral("counter")) != QByteArray::fromBase64("AL8A"));
        box.w->webProfile()->setUrlRequestInterceptor(nullptr);
    }
};

QTEST_MAIN(SaveTransferTest)
#include "tst_ui_savetransfer.moc"
