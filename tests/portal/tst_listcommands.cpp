#include "common/apppaths.h"
#include "lists/listpage.h"
#include "portal/commandurl.h"
#include "portal/listcommands.h"
#include "support/core/files.h"
#include "support/core/listfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{
const QString RECENT = QStringLiteral("date_n.dat");
const QString FAVOURITES = QStringLiteral("date_c.dat");
const QString DOWNLOADS = QStringLiteral("date_d.dat");
}

class TestListCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void tabsAndListChoice();
    void deleteRemovesLineAndCopy();
    void openRecord_data();
    void openRecord();
    void openMissingDownload();
    void traversalIdsTouchNothingOutsideFlash_data();
    void traversalIdsTouchNothingOutsideFlash();
    void clearDownloadsDeletesEverySwf();
    void favourites_data();
    void favourites();
    void contextMenuCommand();

private:
    QString list(const QString &name) const { return m_folder->paths.dataFile(name); }
    QString flash(const QString &name) const { return m_folder->paths.flashDir() + QLatin1Char('/') + name; }

    std::unique_ptr<ListFolder> m_folder;
};

void TestListCommands::init()
{
    // Nested, so that ".." steps out of the folder flash stay in the temporary folder.
    m_folder = std::make_unique<ListFolder>(QStringLiteral("a/b/kavo"));
    QVERIFY(m_folder->isValid());
    QVERIFY(QDir().mkpath(m_folder->paths.flashDir()));
    for (const QString &name : {RECENT, FAVOURITES, DOWNLOADS})
        QVERIFY(m_folder->write(name, "\r\n"));
}

void TestListCommands::cleanup()
{
    m_folder.reset();
}

void TestListCommands::tabsAndListChoice()
{
    // Each tab names its own list, and the question names that list.
    const QStringList questionWords = {QStringLiteral("[最近玩过的游戏]"), QStringLiteral("[收藏的游戏]"),
                                       QStringLiteral("[下载]")};
    for (int i = 0; i < 3; ++i) {
        const auto tab = ListTabAt(i);
        QVERIFY(tab);
        QCOMPARE(PageNameFor(tab->listFile), tab->page);
        QVERIFY(ClearQuestionFor(tab->listFile).contains(questionWords.at(i)));
    }
    QVERIFY(!ListTabAt(3));
}

void TestListCommands::deleteRemovesLineAndCopy()
{
    QVERIFY(WriteFile(list(DOWNLOADS), "A|12|12|1\r\nB|13|13|1\r\nC|14|14|1\r\n"));
    for (const char *name : {"12.swf", "13.swf"})
        QVERIFY(WriteFile(flash(QLatin1String(name)), "swf"));

    DeleteListItem(m_folder->paths, DOWNLOADS, 1);
    QCOMPARE(ReadFile(list(DOWNLOADS)), QByteArray("B|13|13|1\r\nC|14|14|1\r\n"));
    QVERIFY(!QFile::exists(flash(QStringLiteral("12.swf"))));
    QVERIFY(QFile::exists(flash(QStringLiteral("13.swf"))));
    QVERIFY(!ReadFile(list(QStringLiteral("d.htm"))).contains(">\xa1\xa4" "A<"));

    // Game 14 was cut off while downloading: what it kept goes with its line.
    for (const char *name : {"14.swf.part", "14.swf.part.info", "13.swf.part"})
        QVERIFY(WriteFile(flash(QLatin1String(name)), "x"));
    DeleteListItem(m_folder->paths, DOWNLOADS, 2);
    QCOMPARE(ReadFile(list(DOWNLOADS)), QByteArray("B|13|13|1\r\n"));
    QVERIFY(QFile::exists(flash(QStringLiteral("13.swf"))));
    QVERIFY(QFile::exists(flash(QStringLiteral("13.swf.part"))));
    QVERIFY(!QFile::exists(flash(QStringLiteral("14.swf.part"))));
    QVERIFY(!QFile::exists(flash(QStringLiteral("14.swf.part.info"))));

    // The other lists never touch the folder flash.
    QVERIFY(WriteFile(list(FAVOURITES), "B|13|13|1\r\n"));
    DeleteListItem(m_folder->paths, FAVOURITES, 1);
    QCOMPARE(ReadFile(list(FAVOURITES)), QByteArray("\r\n"));
    QVERIFY(QFile::exists(flash(QStringLiteral("13.swf"))));
    QCOMPARE(m_folder->refreshes, 3);
}

void TestListCommands::openRecord_data()
{
    QTest::addColumn<QString>("listFile");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("name");

    const int nothing = int(OpenListResult::Action::Nothing);
    const int navigate = int(OpenListResult::Action::Navigate);
    QTest::newRow("flash game") << RECENT << 1 << navigate << "tuzoflash://12$$$34$$$%u4E2D" << "%u4E2D";
    QTest::newRow("points game") << FAVOURITES << 2 << navigate << "tuzojf://7$$$http://h/7.swf$$$P" << "P";
    QTest::newRow("empty line") << RECENT << 3 << nothing << "" << "";
    QTest::newRow("short record") << RECENT << 5 << navigate << "tuzoflash://9$$$$$$S" << "S";
    QTest::newRow("download present") << DOWNLOADS << 1 << navigate << "tuzoflash://12$$$12$$$D" << "D";
}

void TestListCommands::openRecord()
{
    QFETCH(QString, listFile);
    QFETCH(int, index);
    const QByteArray lists = "%u4E2D|12|34|1\r\nF|8|8|1\r\n\r\nplain\r\nS|9\r\n";
    QVERIFY(WriteFile(list(RECENT), lists));
    QVERIFY(WriteFile(list(FAVOURITES), "F|8|8|1\r\nP|7|http://h/7.swf|0\r\n"));
    QVERIFY(WriteFile(list(DOWNLOADS), "D|12|12|1\r\n"));
    QVERIFY(WriteFile(flash(QStringLiteral("12.swf")), "swf"));
    const QByteArray before = ReadFile(list(listFile));

    const OpenListResult result = OpenListItem(m_folder->paths, listFile, index);
    QTEST(int(result.action), "action");
    QTEST(result.command, "command");
    QTEST(result.gameName, "name");
    QCOMPARE(ReadFile(list(listFile)), before);
}

void TestListCommands::openMissingDownload()
{
    QVERIFY(WriteFile(list(DOWNLOADS), "A|12|12|1\r\nB|13|13|1\r\n"));
    QVERIFY(WriteFile(flash(QStringLiteral("12.swf")), "swf"));
    const OpenListResult result = OpenListItem(m_folder->paths, DOWNLOADS, 2);
    QCOMPARE(result.action, OpenListResult::Action::MissingDownload);
    QCOMPARE(result.gameName, QStringLiteral("B"));
    QCOMPARE(ReadFile(list(DOWNLOADS)), QByteArray("A|12|12|1\r\n"));
    QCOMPARE(m_folder->refreshes, 1);

    // The copy is looked up by the record's address, the file name the
    // download used.
    QVERIFY(WriteFile(list(DOWNLOADS), "A|12|012|1\r\n"));
    QCOMPARE(OpenListItem(m_folder->paths, DOWNLOADS, 1).action, OpenListResult::Action::MissingDownload);
    QVERIFY(WriteFile(list(DOWNLOADS), "A|12|012|1\r\n"));
    QVERIFY(WriteFile(flash(QStringLiteral("012.swf")), "swf"));
    QCOMPARE(OpenListItem(m_folder->paths, DOWNLOADS, 1).command, QStringLiteral("tuzoflash://12$$$012$$$A"));
}

void TestListCommands::traversalIdsTouchNothingOutsideFlash_data()
{
    QTest::addColumn<QString>("id");
    QTest::newRow("parent folders") << "../../x";
    QTest::newRow("into and out of a folder") << "1/../../x";
    QTest::newRow("application folder") << "../kavo";
    QTest::newRow("encoded dots") << "%2e%2e";
    QTest::newRow("dots") << "..";
    QTest::newRow("backslashes") << "..\\..\\x";
    QTest::newRow("absolute") << "/tmp/x";
    QTest::newRow("number with a space") << "12 ";
    QTest::newRow("signed number") << "+12";
}

void TestListCommands::traversalIdsTouchNothingOutsideFlash()
{
    QFETCH(QString, id);
    // The file a path built from the id would name, and every other file
    // around, must survive.
    const QString naive = m_folder->paths.flashDir() + QLatin1Char('/') + id + QStringLiteral(".swf");
    QVERIFY(QDir().mkpath(flash(QStringLiteral("1"))));
    QStringList sentinels = {naive, m_folder->tempPath(QStringLiteral("a/x.swf")),
                             m_folder->paths.appDir() + QStringLiteral("/x.swf"), flash(QStringLiteral("12.swf"))};
    if (!QDir::cleanPath(naive).startsWith(m_folder->tempPath() + QLatin1Char('/')))
        sentinels.removeFirst();
    for (const QString &path : sentinels)
        QVERIFY(WriteFile(path, "keep"));

    const QByteArray record = "N|" + id.toUtf8() + '|' + id.toUtf8() + "|1\r\n";
    QVERIFY(WriteFile(list(DOWNLOADS), record + record));

    DeleteListItem(m_folder->paths, DOWNLOADS, 2);
    // Opening finds no copy: the record goes with the message.
    QCOMPARE(OpenListItem(m_folder->paths, DOWNLOADS, 1).action, OpenListResult::Action::MissingDownload);
    QCOMPARE(ReadFile(list(DOWNLOADS)), QByteArray("\r\n"));
    for (const QString &path : sentinels)
        QVERIFY2(ReadFile(path) == "keep", qPrintable(path));
}

void TestListCommands::clearDownloadsDeletesEverySwf()
{
    QVERIFY(WriteFile(list(DOWNLOADS), "A|1|1|1\r\nB|2|2|1\r\n"));
    // What broken-off downloads kept goes with the games.
    const QStringList gone = {QStringLiteral("1.swf"), QStringLiteral("2.SWF"), QStringLiteral("notlisted.swf"),
                              QStringLiteral(".hidden.swf"), QStringLiteral("3.swf.part"),
                              QStringLiteral("3.swf.part.info")};
    const QStringList kept = {QStringLiteral("readme.txt"), QStringLiteral("notes.part"),
                              QStringLiteral("sub.swf/inner.swf"), QStringLiteral("sub/4.swf")};
    for (const QString &name : gone + kept)
        QVERIFY(WriteFile(flash(name), "x"));
    const QStringList outside = {m_folder->paths.appDir() + QStringLiteral("/5.swf"), list(QStringLiteral("6.swf"))};
    for (const QString &path : outside)
        QVERIFY(WriteFile(path, "x"));

    QVERIFY(ClearList(m_folder->paths, DOWNLOADS));
    QCOMPARE(ReadFile(list(DOWNLOADS)), QByteArray("\r\n"));
    QCOMPARE(m_folder->refreshes, 1);
    for (const QString &name : gone)
        QVERIFY2(!QFile::exists(flash(name)), qPrintable(name));
    for (const QString &name : kept)
        QVERIFY2(QFile::exists(flash(name)), qPrintable(name));
    for (const QString &path : outside)
        QVERIFY2(QFile::exists(path), qPrintable(path));

    // Other lists leave the games alone; without its list file, clearing the
    // downloads deletes no game.
    QVERIFY(WriteFile(list(FAVOURITES), "A|1|1|1\r\n"));
    QVERIFY(WriteFile(flash(QStringLiteral("1.swf")), "x"));
    QVERIFY(ClearList(m_folder->paths, FAVOURITES));
    QCOMPARE(ReadFile(list(FAVOURITES)), QByteArray("\r\n"));
    QVERIFY(QFile::remove(list(DOWNLOADS)));
    QVERIFY(!ClearList(m_folder->paths, DOWNLOADS));
    QVERIFY(!QFile::exists(list(DOWNLOADS)));
    QVERIFY(QFile::exists(flash(QStringLiteral("1.swf"))));
}

void TestListCommands::favourites_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("currentName");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("list");

    const int noGame = int(FavouriteResult::Outcome::NoGame);
    const int other = int(FavouriteResult::Outcome::OtherScheme);
    const int added = int(FavouriteResult::Outcome::Added);
    const int notAdded = int(FavouriteResult::Outcome::NotAdded);
    const QByteArray old = "Old|5|5|1\r\n";

    QTest::newRow("no game yet") << "0" << "0" << noGame << "" << old;
    QTest::newRow("other scheme") << "http://h/" << "X" << other << "" << old;
    QTest::newRow("flash game") << "tuzoflash://12$$$34$$$Name/" << "X" << added << "Name"
                                << QByteArray("Name|12|34|1\r\n") + old;
    QTest::newRow("points game") << "tuzojf://7$$$7$$$%u79EF%u5206/" << "X" << added << "%u79EF%u5206"
                                 << QByteArray("%u79EF%u5206|7|7|0\r\n") + old;
    QTest::newRow("no name field keeps the current name") << "tuzoflash://012$$$34" << "Prev" << added << "Prev"
                                                          << QByteArray("Prev|12|34|1\r\n") + old;
    QTest::newRow("id no number") << "tuzoflash://ab$$$34$$$N" << "X" << notAdded << "N" << old;
}

void TestListCommands::favourites()
{
    QFETCH(QString, url);
    QFETCH(QString, currentName);
    QFETCH(int, outcome);
    QVERIFY(WriteFile(list(FAVOURITES), "Old|5|5|1\r\n"));

    const FavouriteResult result = AddCurrentGameToFavourites(m_folder->paths, url, currentName);
    QCOMPARE(int(result.outcome), outcome);
    QTEST(result.gameName, "name");
    QTEST(ReadFile(list(FAVOURITES)), "list");
    if (result.outcome == FavouriteResult::Outcome::Added && url.startsWith(QLatin1String("tuzojf")))
        QVERIFY(ReadFile(list(QStringLiteral("c.htm"))).contains("<font color=red>[\xbb\xfd\xb7\xd6]</font> "));
}

void TestListCommands::contextMenuCommand()
{
    QVERIFY(IsListGameLink(QStringLiteral("open://7/")));
    QVERIFY(!IsListGameLink(QStringLiteral("delk://7")));
    QCOMPARE(ContextCommandUrl(QStringLiteral("open://7/"), true), QStringLiteral("open://7/"));
    QCOMPARE(ContextCommandUrl(QStringLiteral("open://7/"), false), QStringLiteral("delk://7/"));
    QCOMPARE(DeleteCommandIndex(*ContextCommandUrl(QStringLiteral("open://7/"), false)), 7);
    QVERIFY(!ContextCommandUrl(QString(), true));
    QVERIFY(!ContextCommandUrl(QStringLiteral("open:7"), false));
}

QTEST_GUILESS_MAIN(TestListCommands)
#include "tst_listcommands.moc"
