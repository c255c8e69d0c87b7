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

QTEST_APPLESS_MAIN(TestDlRules)
#include "tst_dlrules.moc"
