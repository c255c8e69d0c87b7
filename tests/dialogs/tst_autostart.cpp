// The autostart entry: where it goes, that real desktop-entry tools accept
// it and start exactly the program it names (whatever the path holds), and
// that writing and removing it never leaves a half-written file.
#include "dialogs/autostart.h"
#include "support/core/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
// desktop-file-validate's verdict: empty when the file is valid.
QString validationErrors(const QString &entry)
{
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(QStringLiteral("desktop-file-validate"), {entry});
    if (!validate.waitForFinished(30000))
        return QStringLiteral("desktop-file-validate did not finish");
    const QString out = QString::fromLocal8Bit(validate.readAll());
    return validate.exitCode() == 0 ? QString() : out;
}
} // namespace

class TestAutostart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void folder_data()
    {
        QTest::addColumn<QString>("xdgConfigHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("folder");
        QTest::newRow("config home") << "/x/conf" << "/home/u" << "/x/conf/autostart";
        QTest::newRow("unset") << "" << "/home/u" << "/home/u/.config/autostart";
        QTest::newRow("relative config home") << "conf" << "/home/u" << "/home/u/.config/autostart";
        QTest::newRow("trailing slash") << "/x/conf/" << "/home/u" << "/x/conf/autostart";
        QTest::newRow("nothing usable") << "conf" << "" << "";
    }

    void folder()
    {
        QFETCH(QString, xdgConfigHome);
        QFETCH(QString, home);
        QFETCH(QString, folder);
        QCOMPARE(Autostart::FolderFor(xdgConfigHome, home), folder);
    }

    // Each folder name holds a program "play" that records how it was called;
    // the session's launcher (GLib's, through gio) starts it from the entry.
    void entryStartsTheProgram_data()
    {
        QTest::addColumn<QString>("folderName");
        QTest::addColumn<bool>("launchable");
        QTest::newRow("plain") << "kavo" << true;
        QTest::newRow("space and Chinese") << "我的 游戏盒" << true;
        QTest::newRow("double quotes") << "say \"hi\"" << true;
        QTest::newRow("shell characters") << "$HOME `id` a;b&c|d <e> (f) *?#~" << true;
        QTest::newRow("single quote") << "it's" << true;
        QTest::newRow("backslash") << "a\\b\\\\c\\" << true;
        QTest::newRow("tab") << "a\tb" << true;
        QTest::newRow("everything") << "Kavo 游戏 \"盒\" $1 \\n" << true;
        // GLib looks for the program before it turns "%%" back into "%", so
        // a session built on it cannot start a program whose path holds "%";
        // the entry is still the one the format asks for.
        QTest::newRow("percent") << "100% %f %u %%" << false;
    }

    void entryStartsTheProgram()
    {
        QFETCH(QString, folderName);
        QFETCH(bool, launchable);
        if (QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
            QSKIP("gio (libglib2.0-bin) is not installed");
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString app = root.filePath(folderName);
        QVERIFY(QDir().mkpath(app));
        const QString command = app + QStringLiteral("/play");
        const QString record = root.filePath(QStringLiteral("started"));
        QVERIFY(WriteFile(command,
                          "#!/bin/sh\nprintf '%s|%s' \"$0\" \"$#\" > \"$KAVO_RECORD.tmp\" && mv \"$KAVO_RECORD.tmp\" \"$KAVO_RECORD\"\n",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        const QString autostart = root.filePath(QStringLiteral("config/autostart"));
        QVERIFY(Autostart::Write(autostart, command));
        const QString entry = Autostart::EntryPath(autostart);
        QCOMPARE(QFileInfo(entry).fileName(), QStringLiteral("Kavo游戏盒.desktop"));
        QVERIFY2(validationErrors(entry).isEmpty(), qPrintable(validationErrors(entry)));
        const QStringList lines = QString::fromUtf8(ReadFile(entry)).split(QLatin1Char('\n'));
        QVERIFY(lines.contains(QStringLiteral("Type=Application")));
        QVERIFY(lines.contains(QStringLiteral("Name=Kavo游戏盒")));
        if (!launchable) {
            QVERIFY(lines.contains(QStringLiteral("Exec=") + Autostart::ExecArgument(command)));
            QVERIFY(Autostart::ExecArgument(command).contains(QStringLiteral("100%% %%f %%u %%%%")));
            return;
        }

        QProcess gio;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KAVO_RECORD"), record);
        gio.setProcessEnvironment(env);
        gio.setProcessChannelMode(QProcess::ForwardedChannels);
        gio.start(QStringLiteral("gio"), {QStringLiteral("launch"), entry});
        QVERIFY(gio.waitForFinished(30000));
        QCOMPARE(gio.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 20000);
        // The program itself, with no arguments.
        QCOMPARE(QString::fromUtf8(ReadFile(record)), command + QStringLiteral("|0"));
    }

    void writeAndRemove()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        // Folders that do not exist yet are made.
        const QString folder = root.filePath(QStringLiteral("a/b/autostart"));
        const QString entry = Autostart::EntryPath(folder);
        QVERIFY(Autostart::Write(folder, QStringLiteral("/opt/one/play")));
        QVERIFY(ReadFile(entry).contains("/opt/one/play"));
        // Replaced whole, with no temporary file left beside it.
        QVERIFY(Autostart::Write(folder, QStringLiteral("/opt/two/play")));
        QVERIFY(!ReadFile(entry).contains("/opt/one/play"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Kavo游戏盒.desktop")});

        QVERIFY(Autostart::Remove(folder));
        QVERIFY(!QFileInfo::exists(entry));
        // Nothing to remove is no failure; other files stay.
        QVERIFY(WriteFile(root.filePath(QStringLiteral("a/b/autostart/other.desktop")), "x"));
        QVERIFY(Autostart::Remove(folder));
        QVERIFY(QFileInfo::exists(root.filePath(QStringLiteral("a/b/autostart/other.desktop"))));

        // A folder that cannot be made (a file holds its name) fails cleanly,
        // as does a folder of an unknown home.
        QVERIFY(WriteFile(root.filePath(QStringLiteral("blocked")), "x"));
        QVERIFY(!Autostart::Write(root.filePath(QStringLiteral("blocked/autostart")), QStringLiteral("/opt/play")));
        QVERIFY(!Autostart::Write(QString(), QStringLiteral("/opt/play")));
        QCOMPARE(ReadFile(root.filePath(QStringLiteral("blocked"))), QByteArray("x"));
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
