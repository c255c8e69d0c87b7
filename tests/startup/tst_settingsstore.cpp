#include "common/textcodec.h"
#include "startup/settings.h"
#include "startup/settingsstore.h"
#include "support/core/files.h"

#include <QTemporaryDir>
#include <QTest>

namespace
{
const QString MAC = QStringLiteral("00-1A-2B-3C-4D-5E");

const QByteArray FIRST_RUN = "[main]\r\n"
                             "Name=Kavo\xd3\xce\xcf\xb7\xba\xd0\r\n"
                             "user=00-1A-2B-3C-4D-5E\r\n"
                             "Ver=1.0\r\n"
                             "[S_q]\r\n"
                             "ts=3\r\n"
                             "quit=2\r\n"
                             "s_size=2\r\n"
                             "h_w=13550\r\n"
                             "h_h=9210\r\n"
                             "s_kai=1\r\n"
                             "s_pao=2\r\n";
}

class TestSettingsStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void readMatchesWithoutCaseAndDefaults();
    void writeReplacesAppendsAndCreates();
    void longValuesAreCutWithoutSplittingCharacters();
    void garbageIsTolerated();
    void unwritablePlaceChangesNothing();

    void firstRunWritesFileInOrder();
    void repairRules_data();
    void repairRules();
    void missingSectionIsRewrittenInRepairOrder();
    void versionSectionNotesOtherVersions();

private:
    QString m_path;
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_macCalls = 0;
    std::function<QString()> m_mac;
};

void TestSettingsStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("config.ini"));
    m_macCalls = 0;
    m_mac = [this] {
        ++m_macCalls;
        return MAC;
    };
}

void TestSettingsStore::readMatchesWithoutCaseAndDefaults()
{
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("main"), QStringLiteral("user"), QStringLiteral("0")),
             QStringLiteral("0")); // no file
    QVERIFY(WriteFile(m_path, "[Main]\r\n  User =  ab c  \r\nempty=\r\n[S_q]\r\nts=1\r\n"));
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("MAIN"), QStringLiteral("user"), QStringLiteral("0")),
             QStringLiteral("ab c"));
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("main"), QStringLiteral("EMPTY"), QStringLiteral("0")),
             QString());
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("main"), QStringLiteral("ts"), QStringLiteral("0")),
             QStringLiteral("0")); // key of another section
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("s_q"), QStringLiteral("TS"), QStringLiteral("0")),
             QStringLiteral("1"));
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("nope"), QStringLiteral("ts"), QStringLiteral("d")),
             QStringLiteral("d"));
}

void TestSettingsStore::writeReplacesAppendsAndCreates()
{
    WriteIniValue(m_path, QStringLiteral("main"), QStringLiteral("Name"), QStringLiteral("游戏"));
    QCOMPARE(ReadFile(m_path), QByteArray("[main]\r\nName=\xd3\xce\xcf\xb7\r\n"));

    QVERIFY(WriteFile(m_path, "; note\r\n[main]\r\nuser=1\r\nVer = 1.0\r\n\r\n[S_q]\r\nts=3"));
    // Replaced where it stands, keeping the stored spelling of the key.
    WriteIniValue(m_path, QStringLiteral("MAIN"), QStringLiteral("ver"), QStringLiteral("2.0"));
    // New key at the end of its section, before the blank separator line.
    WriteIniValue(m_path, QStringLiteral("main"), QStringLiteral("Name"), QStringLiteral("x"));
    // New key in the last section of a file without a final line end.
    WriteIniValue(m_path, QStringLiteral("S_q"), QStringLiteral("quit"), QStringLiteral("1"));
    // Missing section at the end.
    WriteIniValue(m_path, QStringLiteral("Ver"), QStringLiteral("Name"), QStringLiteral("1.0"));
    QCOMPARE(ReadFile(m_path), QByteArray("; note\r\n[main]\r\nuser=1\r\nVer=2.0\r\nName=x\r\n\r\n"
                                         "[S_q]\r\nts=3\r\nquit=1\r\n[Ver]\r\nName=1.0\r\n"));

    // A line break inside a value must not create keys of its own.
    WriteIniValue(m_path, QStringLiteral("main"), QStringLiteral("user"), QStringLiteral("a\r\nquit=9"));
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("main"), QStringLiteral("user"), QString()),
             QStringLiteral("aquit=9"));
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("main"), QStringLiteral("quit"), QStringLiteral("0")),
             QStringLiteral("0"));
}

void TestSettingsStore::longValuesAreCutWithoutSplittingCharacters()
{
    const QString ascii(300, QLatin1Char('x'));
    WriteIniValue(m_path, QStringLiteral("main"), QStringLiteral("a"), ascii);
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("main"), QStringLiteral("a"), QString()), ascii.left(254));

    // 200 Chinese characters are 400 bytes: 127 characters fit in 254 bytes.
    const QString chinese(200, QChar(0x4E2D));
    WriteIniValue(m_path, QStringLiteral("main"), QStringLiteral("b"), chinese);
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("main"), QStringLiteral("b"), QString()), chinese.left(127));

    // Shifted by one byte, the 254th byte would be the first half of a
    // character: it is left out (253 bytes).
    WriteIniValue(m_path, QStringLiteral("main"), QStringLiteral("c"), QStringLiteral("a") + chinese);
    const QString c = ReadIniValue(m_path, QStringLiteral("main"), QStringLiteral("c"), QString());
    QCOMPARE(c, QStringLiteral("a") + chinese.left(126));
    QCOMPARE(TextCodec::toAnsi(c).size(), 253);

    // The stored value itself stays whole.
    QVERIFY(ReadFile(m_path).contains(TextCodec::toAnsi(chinese)));
}

void TestSettingsStore::garbageIsTolerated()
{
    QByteArray junk("\x00\xff\xfe[\x81]\r\n", 8);
    junk += "no equals sign here\n"        // LF alone
            "[main]\r\n"
            "=orphan\r\n"
            "just words\r\n"
            "user=first\r\n"
            "user=second\r\n"
            "nul=ab";
    junk += QByteArray("\0cd\r\n", 5);
    junk += "[MAIN]\r\nVer=dup\r\n"
            "[broken\r\n"
            "Ver=in broken\r\n";
    junk += QByteArray(50, '\xff') + "\r\n";
    QVERIFY(WriteFile(m_path, junk));

    const QString main = QStringLiteral("main");
    QCOMPARE(ReadIniValue(m_path, main, QStringLiteral("user"), QStringLiteral("0")), QStringLiteral("first"));
    QCOMPARE(ReadIniValue(m_path, main, QStringLiteral("nul"), QStringLiteral("0")), QStringLiteral("ab"));
    // The second [main] is never consulted, and "[broken" opens no section.
    QCOMPARE(ReadIniValue(m_path, main, QStringLiteral("Ver"), QStringLiteral("0")), QStringLiteral("0"));
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("broken"), QStringLiteral("Ver"), QStringLiteral("0")),
             QStringLiteral("0"));

    WriteIniValue(m_path, main, QStringLiteral("Ver"), QStringLiteral("1.0"));
    QCOMPARE(ReadIniValue(m_path, main, QStringLiteral("Ver"), QStringLiteral("0")), QStringLiteral("1.0"));
    const QByteArray after = ReadFile(m_path);
    QVERIFY(after.startsWith(junk.left(8) + "no equals sign here\r\n[main]\r\n"));
    QVERIFY(after.contains("user=second\r\nnul=ab"));
    QVERIFY(after.contains("[MAIN]\r\nVer=dup\r\n"));

    InitSettings(m_path, m_mac);
    QCOMPARE(ReadIniValue(m_path, QStringLiteral("S_q"), QStringLiteral("h_w"), QStringLiteral("0")),
             QStringLiteral("13550"));
}

void TestSettingsStore::unwritablePlaceChangesNothing()
{
    // The folder of the file is a regular file: neither creating nor reading
    // can work, and nothing crashes.
    QVERIFY(WriteFile(m_dir->filePath(QStringLiteral("blocker")), "x"));
    const QString path = m_dir->filePath(QStringLiteral("blocker/config.ini"));
    InitSettings(path, m_mac);
    QCOMPARE(ReadIniValue(path, QStringLiteral("S_q"), QStringLiteral("quit"), QStringLiteral("0")),
             QStringLiteral("0"));
    QCOMPARE(ReadFile(m_dir->filePath(QStringLiteral("blocker"))), QByteArray("x"));
}

void TestSettingsStore::firstRunWritesFileInOrder()
{
    InitSettings(m_path, m_mac);
    QCOMPARE(ReadFile(m_path), FIRST_RUN);
    QCOMPARE(m_macCalls, 1);

    // A second start repairs nothing and keeps the bytes.
    InitSettings(m_path, m_mac);
    QCOMPARE(ReadFile(m_path), FIRST_RUN);
    QCOMPARE(m_macCalls, 1);
}

void TestSettingsStore::repairRules_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("stored"); // null: the key line is missing
    QTest::addColumn<QString>("expected");

    QTest::newRow("user 0") << "user" << QByteArray("0") << MAC;
    QTest::newRow("user empty") << "user" << QByteArray("") << MAC;
    QTest::newRow("user missing") << "user" << QByteArray() << MAC;
    QTest::newRow("user kept") << "user" << QByteArray("abc") << "abc";
    QTest::newRow("ts empty") << "ts" << QByteArray("") << "3";
    QTest::newRow("ts 1 kept") << "ts" << QByteArray("1") << "1";
    QTest::newRow("ts 2 kept") << "ts" << QByteArray("2") << "2";
    QTest::newRow("ts 7") << "ts" << QByteArray("7") << "3";
    QTest::newRow("ts -1") << "ts" << QByteArray("-1") << "3";
    QTest::newRow("quit abc") << "quit" << QByteArray("abc") << "2";
    QTest::newRow("quit 0") << "quit" << QByteArray("0") << "2";
    QTest::newRow("quit 5 kept") << "quit" << QByteArray("5") << "5";
    QTest::newRow("quit 1 kept") << "quit" << QByteArray("1") << "1";
    QTest::newRow("s_size 0") << "s_size" << QByteArray("0") << "2";
    QTest::newRow("s_size 7 kept") << "s_size" << QByteArray("7") << "7";
    QTest::newRow("h_w empty") << "h_w" << QByteArray("") << "13550";
    QTest::newRow("h_w kept") << "h_w" << QByteArray("9000") << "9000";
    QTest::newRow("h_h text") << "h_h" << QByteArray("big") << "9210";
    QTest::newRow("h_h overflow") << "h_h" << QByteArray("99999999999") << "9210";
    QTest::newRow("s_kai 0") << "s_kai" << QByteArray("0") << "1";
    QTest::newRow("s_kai 2 kept") << "s_kai" << QByteArray("2") << "2";
    QTest::newRow("s_pao missing") << "s_pao" << QByteArray() << "2";
    QTest::newRow("s_pao 1 kept") << "s_pao" << QByteArray("1") << "1";
}

void TestSettingsStore::repairRules()
{
    QFETCH(QString, key);
    QFETCH(QByteArray, stored);
    QFETCH(QString, expected);

    QByteArray file;
    for (const QByteArray &line : FIRST_RUN.split('\n')) {
        if (line.startsWith(key.toLatin1() + '=')) {
            if (!stored.isNull())
                file += key.toLatin1() + '=' + stored + "\r\n";
        } else if (!line.isEmpty()) {
            file += line + '\n';
        }
    }
    QVERIFY(WriteFile(m_path, file));

    InitSettings(m_path, m_mac);
    const QString section = (key == QLatin1String("user")) ? QStringLiteral("main") : QStringLiteral("S_q");
    QCOMPARE(ReadIniValue(m_path, section, key, QStringLiteral("none")), expected);
    QCOMPARE(m_macCalls, expected == MAC ? 1 : 0);
    // Every other value is untouched.
    const QByteArray after = ReadFile(m_path);
    for (const QByteArray &line : FIRST_RUN.split('\n')) {
        if (!line.isEmpty() && !line.startsWith(key.toLatin1() + '='))
            QVERIFY2(after.contains(line + '\n'), line.constData());
    }
}

void TestSettingsStore::missingSectionIsRewrittenInRepairOrder()
{
    QVERIFY(WriteFile(m_path, "[main]\r\nName=x\r\nuser=me\r\nVer=1.0\r\n"));
    InitSettings(m_path, m_mac);
    QCOMPARE(ReadFile(m_path), QByteArray("[main]\r\nName=x\r\nuser=me\r\nVer=1.0\r\n"
                                         "[S_q]\r\nts=3\r\nquit=2\r\ns_size=2\r\nh_w=13550\r\n"
                                         "h_h=9210\r\ns_pao=2\r\ns_kai=1\r\n"));
    QCOMPARE(m_macCalls, 0);
}

void TestSettingsStore::versionSectionNotesOtherVersions()
{
    QByteArray file = FIRST_RUN;
    file.replace("Ver=1.0", "Ver=2.5");
    QVERIFY(WriteFile(m_path, file));
    InitSettings(m_path, m_mac);
    QCOMPARE(ReadFile(m_path), file + "[Ver]\r\nName=1.0\r\n");

    // A file made before the first start without the section main: the
    // version goes where the update check reads it, so no start offers an
    // update of this very version; an empty one alike.
    for (const QByteArray &before : {QByteArray("[S_q]\r\nts=1\r\n"), QByteArray("[main]\r\nVer=\r\n")}) {
        QVERIFY(WriteFile(m_path, before));
        InitSettings(m_path, m_mac);
        QCOMPARE(ReadIniValue(m_path, QStringLiteral("main"), QStringLiteral("Ver"), QStringLiteral("0")),
                 QStringLiteral("1.0"));
        QVERIFY(!ReadFile(m_path).contains("[Ver]"));
        InitSettings(m_path, m_mac);
        QVERIFY(!ReadFile(m_path).contains("[Ver]"));
    }
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
