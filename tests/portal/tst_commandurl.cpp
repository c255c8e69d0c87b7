#include "common/apppaths.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"
#include "portal/commandurl.h"
#include "portal/paneevents.h"
#include "support/core/listfolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace
{
const QString BASE = QStringLiteral("http://127.0.0.1:8740/");
}

class TestCommandUrl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void parsePlay_data();
    void parsePlay();
    void schemesAreExact();
    void playerPage_data();
    void playerPage();
    void playerPageOfPerUserData();
    void infoPageAndTitle();
    void wholeNumber_data();
    void wholeNumber();
    void listIndex_data();
    void listIndex();
    void recentListRecord();
    void portalFailure_data();
    void portalFailure();

private:
    std::unique_ptr<ListFolder> m_folder;
};

void TestCommandUrl::init()
{
    m_folder = std::make_unique<ListFolder>(QStringLiteral("a/b"));
    QVERIFY(m_folder->isValid());
    QVERIFY(QDir().mkpath(m_folder->paths.flashDir()));
}

void TestCommandUrl::parsePlay_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("hasName");
    QTest::addColumn<int>("kind");

    QTest::newRow("trailing slash") << "tuzoflash://12$$$34$$$Name/" << "12" << "34" << "Name" << true << 1;
    QTest::newRow("only one slash dropped") << "tuzoflash://12$$$34$$$Name//" << "12" << "34" << "Name/" << true << 1;
    QTest::newRow("no third field") << "tuzoflash://12$$$34" << "12" << "34" << "" << false << 1;
    QTest::newRow("nothing") << "tuzoflash://" << "" << "" << "" << false << 1;
    QTest::newRow("further fields ignored") << "tuzoflash://1$$$2$$$3$$$4/" << "1" << "2" << "3" << true << 1;
    QTest::newRow("scheme removed inside fields")
        << "tuzoflash://12$$$tuzoflash://34$$$Na tuzoflash://me" << "12" << "34" << "Na me" << true << 1;
    QTest::newRow("points game") << "tuzojf://107$$$107$$$P/" << "107" << "107" << "P" << true << 0;
}

void TestCommandUrl::parsePlay()
{
    QFETCH(QString, url);
    const PlayCommand command = ParsePlayCommand(url);
    QTEST(command.gameId, "id");
    QTEST(command.gameAddress, "address");
    QTEST(command.gameName, "name");
    QTEST(command.hasName, "hasName");
    QTEST(command.kind, "kind");
}

void TestCommandUrl::schemesAreExact()
{
    QVERIFY(IsPlayCommand(QStringLiteral("tuzoflash://1$$$2$$$n")));
    QVERIFY(!IsPlayCommand(QStringLiteral("TUZOFLASH://1$$$2$$$n")));
    QVERIFY(!IsPlayCommand(QStringLiteral(" tuzoflash://1")));
    QVERIFY(!IsOpenCommand(QStringLiteral("Open://3")));
    // The toolbar's points-game refusal looks anywhere in the command, the
    // download command only at its start.
    const QString pointsInside = QStringLiteral("tuzoflash://7$$$http://x/7.swf$$$tuzojf://");
    QVERIFY(NamesPointsGame(pointsInside));
    QVERIFY(!IsPointsPlayCommand(pointsInside));
    QVERIFY(NamesPointsGame(QStringLiteral("tuzojf://1$$$2$$$n")));
    QVERIFY(!NamesPointsGame(QStringLiteral("TUZOJF://1$$$2$$$n")));
}

void TestCommandUrl::playerPage_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("placedFile"); // relative to the application folder
    QTest::addColumn<QString>("expected");   // "<local>" stands for <app>/app/flash.htm

    QTest::newRow("portal number") << "tuzoflash://12$$$34$$$N/" << "" << BASE + "app/app.asp?id=34";
    QTest::newRow("downloaded copy") << "tuzoflash://12$$$34$$$N/" << "flash/12.swf" << "<local>?12";
    QTest::newRow("http:// anywhere") << "tuzoflash://12$$$g?u=http://h$$$N" << "" << BASE + "flash.htm?g?u=http://h";
    QTest::newRow("HTTP:// is a number") << "tuzoflash://12$$$HTTP://h$$$N" << "" << BASE + "app/app.asp?id=HTTP://h";
    QTest::newRow("points game ignores a copy") << "tuzojf://12$$$34$$$N" << "flash/12.swf" << BASE + "app/app.asp?id=34";
    QTest::newRow("folder named like a copy") << "tuzoflash://12$$$34$$$N" << "flash/12.swf/x" << BASE + "app/app.asp?id=34";
    QTest::newRow("traversal id") << "tuzoflash://../x$$$34$$$N" << "x.swf" << BASE + "app/app.asp?id=34";
    QTest::newRow("id with a slash") << "tuzoflash://1/../../x$$$34$$$N" << "x.swf" << BASE + "app/app.asp?id=34";
}

void TestCommandUrl::playerPage()
{
    QFETCH(QString, url);
    QFETCH(QString, placedFile);
    QFETCH(QString, expected);
    if (!placedFile.isEmpty())
        QVERIFY(WriteFile(m_folder->paths.appDir() + QLatin1Char('/') + placedFile, "swf"));
    QDir().mkpath(m_folder->paths.flashDir() + QStringLiteral("/1"));
    expected.replace(QStringLiteral("<local>"), m_folder->paths.appDir() + QStringLiteral("/app/flash.htm"));
    QCOMPARE(PlayerPageFor(m_folder->paths, BASE, ParsePlayCommand(url)), expected);
}

void TestCommandUrl::playerPageOfPerUserData()
{
    // An installed program plays downloaded games from the user's flash/
    // with the player page of the installed folder.
    const AppPaths paths(m_folder->tempPath(QStringLiteral("lib")), m_folder->tempPath(QStringLiteral("data")));
    const PlayCommand command = ParsePlayCommand(QStringLiteral("tuzoflash://12$$$34$$$N/"));
    QVERIFY(WriteFile(paths.installedDir() + QStringLiteral("/flash/12.swf"), "swf"));
    QCOMPARE(PlayerPageFor(paths, BASE, command), BASE + QStringLiteral("app/app.asp?id=34"));
    QVERIFY(WriteFile(paths.flashFile(QStringLiteral("12")), "swf"));
    QCOMPARE(PlayerPageFor(paths, BASE, command), paths.installedDir() + QStringLiteral("/app/flash.htm?12"));
}

void TestCommandUrl::infoPageAndTitle()
{
    const PlayCommand command = ParsePlayCommand(QStringLiteral("tuzoflash://12$$$34$$$Name/"));
    QCOMPARE(GameInfoPageFor(BASE, command), BASE + QStringLiteral("app/flash_info.asp?id=12"));
    QCOMPARE(GameTitleText(command.gameName), QStringLiteral("当前：在线小游戏 >> Name："));
    // Portal pages send names escaped; the title shows them decoded.
    QCOMPARE(GameTitleText(QStringLiteral("%u5F69%u7403%20F1")), QStringLiteral("当前：在线小游戏 >> 彩球 F1："));
}

void TestCommandUrl::wholeNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // "-" for no number

    QTest::newRow("plain") << "12" << "12";
    QTest::newRow("leading zeros") << "012" << "12";
    QTest::newRow("spaces") << " 12 " << "12";
    QTest::newRow("minus") << "-5" << "-5";
    QTest::newRow("largest") << "2147483647" << "2147483647";
    QTest::newRow("too large") << "2147483648" << "-";
    QTest::newRow("trailing letters") << "12abc" << "-";
    QTest::newRow("fraction") << "1.5" << "-";
    QTest::newRow("empty") << "" << "-";
    QTest::newRow("other digits") << QStringLiteral("١٢") << "-";
}

void TestCommandUrl::wholeNumber()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(WholeNumberText(text).value_or(QStringLiteral("-")), expected);
}

void TestCommandUrl::listIndex_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("expected"); // 0 for nothing

    QTest::newRow("delete drops every slash") << "delk://1/2" << 12;
    QTest::newRow("delete with slash") << "delk://3/" << 3;
    QTest::newRow("delete zero") << "delk://0" << 0;
    QTest::newRow("delete word") << "delk://abc" << 0;
    QTest::newRow("delete huge") << "delk://99999999999" << 0;
    QTest::newRow("open with slash") << "open://3/" << 3;
    QTest::newRow("open keeps inner slash") << "open://1/2" << 0;
    QTest::newRow("open drops one slash") << "open://3//" << 0;
    QTest::newRow("open spaces") << "open:// 8 " << 8;
    QTest::newRow("open word") << "open://x/" << 0;
}

void TestCommandUrl::listIndex()
{
    QFETCH(QString, url);
    QFETCH(int, expected);
    const auto index = IsDeleteCommand(url) ? DeleteCommandIndex(url) : OpenCommandIndex(url);
    QCOMPARE(index.value_or(0), expected);
}

void TestCommandUrl::recentListRecord()
{
    QVERIFY(m_folder->write(QStringLiteral("date_n.dat"), "Old|9|9|1\r\n"));
    const auto recent = [this] { return m_folder->read(QStringLiteral("date_n.dat")); };

    QVERIFY(AddToRecentList(m_folder->paths, ParsePlayCommand(QStringLiteral("tuzoflash://12$$$34$$$Name/")),
                            QStringLiteral("Name")));
    QCOMPARE(recent(), QByteArray("Name|12|34|1\r\nOld|9|9|1\r\n"));

    // The id is stored by its number value, so "012" replaces game 12.
    QVERIFY(AddToRecentList(m_folder->paths, ParsePlayCommand(QStringLiteral("tuzoflash://012$$$35")),
                            QStringLiteral("Prev")));
    QCOMPARE(recent(), QByteArray("Prev|12|35|1\r\nOld|9|9|1\r\n"));

    QVERIFY(AddToRecentList(m_folder->paths, ParsePlayCommand(QStringLiteral("tuzojf://7$$$7$$$P")),
                            QStringLiteral("P")));
    QVERIFY(recent().startsWith("P|7|7|0\r\n"));

    const QByteArray before = recent();
    QVERIFY(!AddToRecentList(m_folder->paths, ParsePlayCommand(QStringLiteral("tuzoflash://12x$$$34$$$N")),
                             QStringLiteral("N")));
    QCOMPARE(recent(), before);
}

void TestCommandUrl::portalFailure_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("base");
    QTest::addColumn<bool>("expected");

    QTest::newRow("portal page") << BASE << BASE << true;
    QTest::newRow("other site") << "http://example.org/" << BASE << false;
    QTest::newRow("command carrying a portal address")
        << "tuzojf://1$$$" + BASE + "g.swf$$$n" << BASE << false;
}

void TestCommandUrl::portalFailure()
{
    QFETCH(QString, url);
    QFETCH(QString, base);
    QTEST(IsPortalFailure(url, base), "expected");
}

QTEST_GUILESS_MAIN(TestCommandUrl)
#include "tst_commandurl.moc"
