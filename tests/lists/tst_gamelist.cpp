#include "common/apppaths.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"
#include "support/core/listfolder.h"
#include "support/core/sizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{
QByteArray records(int from, int to)
{
    QByteArray out;
    for (int i = from; i <= to; ++i)
        out += "g" + QByteArray::number(i) + '|' + QByteArray::number(i) + "|a|1\r\n";
    return out;
}
}

class TestGameList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void addBuildsListTopDown();
    void addDropsDuplicatesByExactId();
    void addKeepsFieldsApart();
    void sizeLimits_data();
    void sizeLimits();
    void removeCountsEveryLine();
    void clearLeavesOneEmptyLine();
    void missingFileFailsAndCreatesNothing();
    void readLineByNumber();
    void pageFollowsEveryChange();
    void unwritablePageChangesNothing();

private:
    QByteArray list(const QString &name) const;
    void setList(const QString &name, const QByteArray &bytes) const;

    std::unique_ptr<ListFolder> m_folder;
};

QByteArray TestGameList::list(const QString &name) const
{
    return m_folder->read(name);
}

void TestGameList::setList(const QString &name, const QByteArray &bytes) const
{
    QVERIFY(m_folder->write(name, bytes));
}

void TestGameList::init()
{
    m_folder = std::make_unique<ListFolder>();
    QVERIFY(m_folder->isValid());
}

void TestGameList::cleanup()
{
    m_folder.reset();
}

void TestGameList::addBuildsListTopDown()
{
    const QString n = QStringLiteral("date_n.dat");
    setList(n, "\r\n");
    QVERIFY(AddGameRecord(m_folder->paths, QStringLiteral("%u4E2D"), QStringLiteral("12"), QStringLiteral("g/12.swf"), 1, n));
    QCOMPARE(list(n), QByteArray("%u4E2D|12|g/12.swf|1\r\n\r\n"));
    QCOMPARE(m_folder->refreshes, 1);
    QVERIFY(list(QStringLiteral("n.htm")).contains("<li><a href=open://1>\xa1\xa4\xd6\xd0</a>"));

    QVERIFY(AddGameRecord(m_folder->paths, QStringLiteral("坦克"), QStringLiteral("7"), QStringLiteral("7"), 0, n));
    QCOMPARE(list(n), QByteArray("\xcc\xb9\xbf\xcb|7|7|0\r\n%u4E2D|12|g/12.swf|1\r\n"));
    const QByteArray page = list(QStringLiteral("n.htm"));
    QVERIFY(page.contains("open://1>\xa1\xa4\xcc\xb9\xbf\xcb<font color=red>"));
    QVERIFY(page.contains("open://2>\xa1\xa4\xd6\xd0</a>"));
    QCOMPARE(m_folder->refreshes, 2);
}

void TestGameList::addDropsDuplicatesByExactId()
{
    const QString c = QStringLiteral("date_c.dat");
    setList(c, "A|12|a|1\r\nnot a record\r\n\r\nB|13|b|1\r\nC|012|c|1\r\nD|12|d|1");
    QVERIFY(AddGameRecord(m_folder->paths, QStringLiteral("N"), QStringLiteral("12"), QStringLiteral("n"), 0, c));
    // Both records with id 12 and every line without "|" are gone; 012 is
    // another game.
    QCOMPARE(list(c), QByteArray("N|12|n|0\r\nB|13|b|1\r\nC|012|c|1\r\n"));
}

void TestGameList::addKeepsFieldsApart()
{
    const QString n = QStringLiteral("date_n.dat");
    setList(n, "\r\n");
    QVERIFY(AddGameRecord(m_folder->paths, QStringLiteral("a|b\r\nc"), QStringLiteral("5"), QStringLiteral("x|y"), 1, n));
    QCOMPARE(list(n), QByteArray("a%7Cb%0D%0Ac|5|x%7Cy|1\r\n\r\n"));
    const auto fields = ReadGameLine(m_folder->paths, n, 1);
    QVERIFY(fields);
    QCOMPARE(fields->size(), 4);
    QCOMPARE(fields->at(1), QStringLiteral("5"));
    QVERIFY(list(QStringLiteral("n.htm")).contains(">\xa1\xa4" "a|b\r\nc</a>"));
}

void TestGameList::sizeLimits_data()
{
    QTest::addColumn<QString>("listFile");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("recent full") << "date_n.dat" << 101 << 101;
    QTest::newRow("favourites full") << "date_c.dat" << 101 << 101;
    QTest::newRow("recent not full") << "date_n.dat" << 50 << 51;
    QTest::newRow("downloads full") << "date_d.dat" << 2001 << 2001;
    // The limit goes by the exact file name.
    QTest::newRow("other name") << "Date_n.dat" << 150 << 151;
}

void TestGameList::sizeLimits()
{
    QFETCH(QString, listFile);
    QFETCH(int, before);
    QFETCH(int, after);
    setList(listFile, records(1, before));
    QVERIFY(AddGameRecord(m_folder->paths, QStringLiteral("new"), QStringLiteral("99999"), QStringLiteral("a"), 1, listFile));
    const QByteArray expected = "new|99999|a|1\r\n" + records(1, after - 1);
    QCOMPARE(list(listFile), expected);
}

void TestGameList::removeCountsEveryLine()
{
    const QString n = QStringLiteral("date_n.dat");
    // Line 1 is the empty line, not the first record.
    setList(n, "\r\nA|1|a|1\r\nB|2|b|1\r\n");
    QVERIFY(RemoveGameLine(m_folder->paths, n, 1));
    QCOMPARE(list(n), QByteArray("A|1|a|1\r\nB|2|b|1\r\n"));
    QCOMPARE(m_folder->refreshes, 1);

    setList(n, "A|1|a|1\r\nline\r\nB|2|b|1\r\n\r\n");
    QVERIFY(RemoveGameLine(m_folder->paths, n, 3));
    QCOMPARE(list(n), QByteArray("A|1|a|1\r\nline\r\n"));

    // Numbers outside the file remove nothing; the rewrite drops one
    // trailing empty line and keeps a file of records alone unchanged.
    for (int number : {0, -1, 3, 99}) {
        setList(n, "A|1|a|1\r\nB|2|b|1\r\n\r\n");
        QVERIFY(RemoveGameLine(m_folder->paths, n, number));
        QCOMPARE(list(n), QByteArray("A|1|a|1\r\nB|2|b|1\r\n"));
        QVERIFY(RemoveGameLine(m_folder->paths, n, number));
        QCOMPARE(list(n), QByteArray("A|1|a|1\r\nB|2|b|1\r\n"));
    }

    setList(n, "A|1|a|1\r\n\r\n");
    QVERIFY(RemoveGameLine(m_folder->paths, n, 1));
    QCOMPARE(list(n), QByteArray("\r\n"));
    QVERIFY(list(QStringLiteral("n.htm")).contains("\xd4\xdd\xce\xde\xbc\xc7\xc2\xbc")); // 暂无记录
}

void TestGameList::clearLeavesOneEmptyLine()
{
    const QString d = QStringLiteral("date_d.dat");
    setList(d, records(1, 3));
    QVERIFY(ClearGameList(m_folder->paths, d));
    QCOMPARE(list(d), QByteArray("\r\n"));
    QVERIFY(list(QStringLiteral("d.htm")).contains("\xd4\xdd\xce\xde\xbc\xc7\xc2\xbc"));
    QCOMPARE(m_folder->refreshes, 1);
}

void TestGameList::missingFileFailsAndCreatesNothing()
{
    const QString n = QStringLiteral("date_n.dat");
    QVERIFY(!AddGameRecord(m_folder->paths, QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("a"), 1, n));
    QVERIFY(!RemoveGameLine(m_folder->paths, n, 1));
    QVERIFY(!ClearGameList(m_folder->paths, n));
    QVERIFY(!ReadGameLine(m_folder->paths, n, 1));
    QCOMPARE(QDir(m_folder->paths.dataDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    QCOMPARE(m_folder->refreshes, 0);

    // Without the folder itself, too.
    const AppPaths nowhere(m_folder->tempPath(QStringLiteral("none")));
    QVERIFY(!AddGameRecord(nowhere, QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("a"), 1, n));
    QVERIFY(!QFile::exists(nowhere.dataDir()));
}

void TestGameList::readLineByNumber()
{
    const QString d = QStringLiteral("date_d.dat");
    setList(d, "\r\n\xd6\xd0|12|12|1\r\nplain\r\nlast|9|9|0");
    QCOMPARE(ReadGameLine(m_folder->paths, d, 2), QStringList({QStringLiteral("中"), QStringLiteral("12"),
                                                       QStringLiteral("12"), QStringLiteral("1")}));
    QCOMPARE(ReadGameLine(m_folder->paths, d, 1), QStringList{QString()});
    QCOMPARE(ReadGameLine(m_folder->paths, d, 3), QStringList{QStringLiteral("plain")});
    // A final line without CR LF is a line.
    QCOMPARE(ReadGameLine(m_folder->paths, d, 4)->value(0), QStringLiteral("last"));
    QVERIFY(!ReadGameLine(m_folder->paths, d, 5));
    QVERIFY(!ReadGameLine(m_folder->paths, d, 0));
    setList(d, "");
    QVERIFY(!ReadGameLine(m_folder->paths, d, 1));
}

void TestGameList::pageFollowsEveryChange()
{
    const QString d = QStringLiteral("date_d.dat");
    setList(d, "\r\n");
    const auto pageMatches = [this, &d] {
        return list(QStringLiteral("d.htm")) == ListPageBytes(*ReadListLines(m_folder->paths.dataFile(d)));
    };
    QVERIFY(AddGameRecord(m_folder->paths, QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1"), 1, d));
    QVERIFY(pageMatches());
    // A name the page's code page cannot hold shows as the list file holds it.
    QVERIFY(AddGameRecord(m_folder->paths, QStringLiteral("B\U0001F600"), QStringLiteral("2"), QStringLiteral("2"), 1, d));
    QVERIFY(pageMatches());
    // A game id with a line break makes two lines of the record; a byte
    // that is not GBK, and a lone CR or LF inside or at the edge of a line,
    // still give the page of what the file holds.
    QVERIFY(AddGameRecord(m_folder->paths, QStringLiteral("C"), QStringLiteral("3\r\nX|9|x"), QStringLiteral("3"), 1, d));
    QVERIFY(pageMatches());
    setList(d, "E|5|e|1\r\nbad \xff|6|f|0\r\n");
    QVERIFY(AddGameRecord(m_folder->paths, QStringLiteral("F"), QStringLiteral("10"), QStringLiteral("10"), 1, d));
    QVERIFY(pageMatches());
    setList(d, "lone\rcr|7|g|1\r\n\rfirst|8|h|0\r\nlast\r|9|i|1\r\nlone\nlf|10|j|1\r\nend|11|k|1\r");
    QVERIFY(AddGameRecord(m_folder->paths, QStringLiteral("G"), QStringLiteral("10"), QStringLiteral("10"), 1, d));
    QVERIFY(pageMatches());
    QCOMPARE(list(d), QByteArray("G|10|10|1\r\nlone\rcr|7|g|1\r\n\rfirst|8|h|0\r\nlast\r|9|i|1\r\nend|11|k|1\r\r\n"));
    QVERIFY(RemoveGameLine(m_folder->paths, d, 2));
    QVERIFY(pageMatches());
    QVERIFY(ClearGameList(m_folder->paths, d));
    QVERIFY(pageMatches());
    QCOMPARE(m_folder->refreshes, 7);
    QCOMPARE(QDir(m_folder->paths.dataDir()).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("d.htm"), QStringLiteral("date_d.dat")}));
}

void TestGameList::unwritablePageChangesNothing()
{
    // The list fits under the file size limit, its page does not: the list
    // must not change either, or the old page's links would name other lines.
    const QString d = QStringLiteral("date_d.dat");
    setList(d, records(1, 3));
    QVERIFY(GenerateListPage(m_folder->paths, d));
    m_folder->refreshes = 0;
    const QByteArray listBefore = list(d);
    const QByteArray pageBefore = list(QStringLiteral("d.htm"));

    bool added = true, removed = true, cleared = true;
    {
        const SizeLimit limit(512);
        QVERIFY(limit.isSet());
        added = AddGameRecord(m_folder->paths, QStringLiteral("new"), QStringLiteral("9"), QStringLiteral("9"), 1, d);
        removed = RemoveGameLine(m_folder->paths, d, 1);
        cleared = ClearGameList(m_folder->paths, d);
    }

    QVERIFY(!added);
    QVERIFY(!removed);
    QVERIFY(!cleared);
    QCOMPARE(list(d), listBefore);
    QCOMPARE(list(QStringLiteral("d.htm")), pageBefore);
    QCOMPARE(m_folder->refreshes, 0);
    QCOMPARE(QDir(m_folder->paths.dataDir()).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("d.htm"), QStringLiteral("date_d.dat")}));
}

QTEST_GUILESS_MAIN(TestGameList)
#include "tst_gamelist.moc"
