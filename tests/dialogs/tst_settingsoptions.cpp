// The settings dialog's four options in config.ini: how values read, the
// order and values written, and the autostart entry written with them.
#include "dialogs/autostart.h"
#include "dialogs/settingsoptions.h"
#include "startup/settings.h"
#include "startup/settingsstore.h"
#include "support/core/files.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
QString sq(const QString &config, const char *key)
{
    return ReadIniValue(config, QStringLiteral("S_q"), QString::fromLatin1(key), QStringLiteral("?"));
}
} // namespace

class TestSettingsOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstRunFile()
    {
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("config.ini"));
        InitSettings(config, [] { return QStringLiteral("00-11-22-33-44-55"); });
        const SettingsOptions o = ReadSettingsOptions(config);
        QVERIFY(o.keepSize);
        QVERIFY(o.closeToTray);
        QVERIFY(o.balloons);
        QVERIFY(!o.autoStart);
    }

    // Only a value that reads as the number 1 is off.
    void valueRead_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << "1" << false;
        QTest::newRow("2") << "2" << true;
        QTest::newRow("5") << "5" << true;
        QTest::newRow("0") << "0" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("not a number") << "abc" << true;
        QTest::newRow("spaces around 1") << " 1 " << false;
        QTest::newRow("1.0") << "1.0" << true;
    }

    void valueRead()
    {
        QFETCH(QString, value);
        QFETCH(bool, on);
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("config.ini"));
        for (const char *key : {"quit", "s_size", "s_pao", "s_kai"})
            WriteIniValue(config, QStringLiteral("S_q"), QString::fromLatin1(key), value);
        const SettingsOptions o = ReadSettingsOptions(config);
        QCOMPARE(o.closeToTray, on);
        QCOMPARE(o.keepSize, on);
        QCOMPARE(o.balloons, on);
        QCOMPARE(o.autoStart, on);
    }

    void writtenInOrderWithTheEntry()
    {
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("config.ini"));
        const QString autostart = dir.filePath(QStringLiteral("autostart"));
        // New keys are appended as they are written: their order is the order
        // of writing.
        QVERIFY(WriteFile(config, "[main]\r\nVer=1.0\r\n[S_q]\r\nts=1\r\n"));
        SettingsOptions o;
        o.keepSize = false;
        o.autoStart = true;
        o.balloons = true;
        o.closeToTray = false;
        WriteSettingsOptions(config, o, autostart, QStringLiteral("/opt/kavo/play"));
        QCOMPARE(ReadFile(config), QByteArray("[main]\r\nVer=1.0\r\n[S_q]\r\nts=1\r\ns_size=1\r\ns_kai=2\r\ns_pao=2\r\nquit=1\r\n"));
        QVERIFY(QFileInfo::exists(Autostart::EntryPath(autostart)));

        o.autoStart = false;
        WriteSettingsOptions(config, o, autostart, QStringLiteral("/opt/kavo/play"));
        QCOMPARE(sq(config, "s_kai"), QStringLiteral("1"));
        QVERIFY(!QFileInfo::exists(Autostart::EntryPath(autostart)));
    }

    // The entry cannot be written: every option is written all the same.
    void entryFailureWritesEverything()
    {
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("config.ini"));
        const QString blocked = dir.filePath(QStringLiteral("blocked"));
        QVERIFY(WriteFile(blocked, QByteArray()));
        for (const char *key : {"quit", "s_size", "s_pao", "s_kai"})
            WriteIniValue(config, QStringLiteral("S_q"), QString::fromLatin1(key), QStringLiteral("5"));
        SettingsOptions o;
        o.autoStart = true;
        WriteSettingsOptions(config, o, blocked + QStringLiteral("/autostart"), QStringLiteral("/opt/kavo/play"));
        QCOMPARE(sq(config, "s_kai"), QStringLiteral("2"));
        QCOMPARE(sq(config, "s_size"), QStringLiteral("2"));
        QCOMPARE(sq(config, "s_pao"), QStringLiteral("2"));
        QCOMPARE(sq(config, "quit"), QStringLiteral("2"));

        // Removing from a folder that is not there is no failure either.
        o.autoStart = false;
        WriteSettingsOptions(config, o, dir.filePath(QStringLiteral("none/autostart")), QString());
        QCOMPARE(sq(config, "s_kai"), QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsOptions)
#include "tst_settingsoptions.moc"
