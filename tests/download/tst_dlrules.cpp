#include "download/dlrules.h"
#include "download/formatsize.h"

#include <QtTest>

class TestDlRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveFilePath_data();
    void saveFilePath();
    void otherRules();
    void formatSize_data();
    void formatSize();
    void flashMovies_data();
    void flashMovies();
};

void TestDlRules::saveFilePath_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("joined");

    QTest::newRow("slash") << "/home/u/app/flash/1234.swf" << "/home/u/app/flash/" << "1234.swf"
                           << "/home/u/app/flash/1234.swf";
    QTest::newRow("backslash") << "C:\\kavo\\flash\\1234.swf" << "C:\\kavo\\flash\\" << "1234.swf"
                               << "C:\\kavo\\flash\\1234.swf";
    QTest::newRow("mixed, last one wins") << "a\\b/c\\d.swf" << "a\\b/c\\" << "d.swf"
                                          << "a\\b/c\\d.swf";
    QTest::newRow("ends in separator") << "/tmp/dl/" << "/tmp/dl/" << "" << "/tmp/dl/";
    QTest::newRow("no separator") << "game.swf" << "" << "game.swf" << "/game.swf";
}

void TestDlRules::saveFilePath()
{
    QFETCH(QString, written);
    QFETCH(QString, folder);
    QFETCH(QString, title);
    QFETCH(QString, joined);
    const DlRules::SplitPath split = DlRules::splitSaveFilePath(written);
    QCOMPARE(split.folder, folder);
    QCOMPARE(split.title, title);
    QCOMPARE(DlRules::joinPath(split.folder, split.title), joined);
}

void TestDlRules::otherRules()
{
    QCOMPARE(DlRules::joinPath("/tmp/a", "b.swf"), QString("/tmp/a/b.swf"));
    QCOMPARE(DlRules::lastPart("a$$$b$$$c", "$$$"), QString("c"));
    QCOMPARE(DlRules::lastPart("abc", "X"), QString("abc"));
    QCOMPARE(DlRules::lastPart("aXbx", "x"), QString("")); // case-sensitive
    QCOMPARE(DlRules::localPath("C:\\a\\b.swf"), QString("C:/a/b.swf"));

    // The redirect name is always a direct child of the folder.
    QCOMPARE(DlRules::redirectFileTitle("http://h/a/game.swf?v=1"), QString("game.swf?v=1"));
    QCOMPARE(DlRules::redirectFileTitle("http://h/a\\..\\evil.swf"), QString("evil.swf"));
    QCOMPARE(DlRules::redirectFileTitle("http://h/dir/"), QString());

    QCOMPARE(DlRules::progressFraction(50, 200), 0.25f);
    QCOMPARE(DlRules::progressFraction(50, 0), 0.0f);
    QCOMPARE(DlRules::progressFraction(50, -1), 0.0f);
}

void TestDlRules::formatSize_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << "0b";
    QTest::newRow("500") << qint64(500) << "500b";
    QTest::newRow("1023") << qint64(1023) << "1023b";
    QTest::newRow("1024") << qint64(1024) << "1k";
    QTest::newRow("1536") << qint64(1536) << "1k";
    QTest::newRow("1048575") << qint64(1048575) << "1023k";
    QTest::newRow("1048576") << qint64(1048576) << "1M";
    QTest::newRow("1572864") << qint64(1572864) << "1.5M";
    QTest::newRow("2097152") << qint64(2097152) << "2M";
    QTest::newRow("1.25M rounds up") << qint64(1280 * 1024) << "1.3M";
    QTest::newRow("10M") << qint64(10 * 1048576) << "10M";
    QTest::newRow("just under 512M") << qint64(536870911) << "512M";
    QTest::newRow("536870912") << qint64(536870912) << "0.5G";
    QTest::newRow("1G") << qint64(1073741824) << "1G";
    QTest::newRow("thousands") << qint64(1024) * 1073741824 << "1,024G";
}

void TestDlRules::formatSize()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(FormatSize(bytes), text);
}

namespace
{
QByteArray header(const char *signature, int version, quint32 length)
{
    QByteArray h(signature, 3);
    h += char(version);
    for (int i = 0; i < 4; ++i)
        h += char((length >> (8 * i)) & 0xff);
    return h;
}
} // namespace

void TestDlRules::flashMovies_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("movie");
    QTest::newRow("plain") << header("FWS", 10, 4355) << qint64(4355) << true;
    QTest::newRow("plain with trailing data") << header("FWS", 9, 4355) << qint64(4400) << true;
    QTest::newRow("plain, cut short") << header("FWS", 10, 4355) << qint64(4000) << false;
    QTest::newRow("zlib") << header("CWS", 10, 90000) << qint64(31000) << true;
    QTest::newRow("zlib of what does not pack") << header("CWS", 10, 30000) << qint64(30050) << true;
    QTest::newRow("zlib larger than it unpacks") << header("CWS", 10, 20000) << qint64(31000) << false;
    QTest::newRow("lzma") << header("ZWS", 13, 90000) << qint64(25000) << true;
    QTest::newRow("version 0") << header("FWS", 0, 4355) << qint64(4355) << false;
    QTest::newRow("version 200") << header("CWS", 200, 90000) << qint64(4355) << false;
    QTest::newRow("length below any movie") << header("FWS", 10, 8) << qint64(8) << false;
    QTest::newRow("length over a gibibyte") << header("CWS", 10, 0xfffffff0u) << qint64(4096) << false;
    QTest::newRow("lower-case signature") << header("fws", 10, 4355) << qint64(4355) << false;
    QTest::newRow("login page") << QByteArray("<!DOCTYPE") << qint64(300) << false;
    QTest::newRow("short body") << QByteArray("FWS") << qint64(3) << false;
    QTest::newRow("nothing") << QByteArray() << qint64(0) << false;
}

void TestDlRules::flashMovies()
{
    QFETCH(QByteArray, head);
    QFETCH(qint64, size);
    QFETCH(bool, movie);
    QCOMPARE(DlRules::isFlashMovie(head, size), movie);
}

QTEST_APPLESS_MAIN(TestDlRules)
#include "tst_dlrules.moc"
