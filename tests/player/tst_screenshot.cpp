#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "player/screenshot.h"
#include "support/core/files.h"

class TestScreenshot : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QByteArray m_oldHome;
    QByteArray m_oldConfigHome;

    QString tmpPath(const QString &name) const { return m_tmp.filePath(name); }

    void writeUserDirs(const QByteArray &desktopLine)
    {
        QVERIFY(WriteFile(tmpPath(QStringLiteral("config/user-dirs.dirs")),
                          "# written by the test\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n" + desktopLine + "\n"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        m_oldHome = qgetenv("HOME");
        m_oldConfigHome = qgetenv("XDG_CONFIG_HOME");
        QDir().mkpath(tmpPath(QStringLiteral("home")));
        qputenv("HOME", QFile::encodeName(tmpPath(QStringLiteral("home"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(tmpPath(QStringLiteral("config"))));
    }

    void cleanupTestCase()
    {
        qputenv("HOME", m_oldHome);
        if (m_oldConfigHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
    }

    void desktopFolderFollowsUserDirs()
    {
        const QString home = tmpPath(QStringLiteral("home"));

        writeUserDirs("XDG_DESKTOP_DIR=\"$HOME/桌面\"");
        QCOMPARE(DesktopFolder(), home + QStringLiteral("/桌面/"));

        const QString elsewhere = tmpPath(QStringLiteral("elsewhere/desk"));
        writeUserDirs("XDG_DESKTOP_DIR=\"" + QFile::encodeName(elsewhere) + "/\"");
        QCOMPARE(DesktopFolder(), elsewhere + QLatin1Char('/'));

        // Without the file the desktop is the usual folder under home.
        QFile::remove(tmpPath(QStringLiteral("config/user-dirs.dirs")));
        QCOMPARE(DesktopFolder(), home + QStringLiteral("/Desktop/"));
    }

    void randomNumberText()
    {
        QSet<QString> seen;
        for (int i = 0; i < 3000; ++i) {
            const QString text = RandomNumberText();
            bool ok = false;
            const int value = text.toInt(&ok);
            QVERIFY2(ok && text.size() == 3 && value >= 100 && value <= 999, qPrintable(text));
            seen.insert(text);
        }
        // The numbers vary over the range rather than repeating a few.
        QVERIFY(seen.size() > 500);
    }

    void folderName_data()
    {
        QTest::addColumn<QString>("gameName");
        QTest::addColumn<QString>("folder");
        QTest::newRow("backslash") << QStringLiteral("a\\b") << QStringLiteral("ab");
        QTest::newRow("backslash and trailing blank") << QStringLiteral("A\\B ") << QStringLiteral("AB");
        QTest::newRow("slash") << QStringLiteral("a/b") << QStringLiteral("ab");
        QTest::newRow("parent path") << QStringLiteral("../../etc") << QStringLiteral("....etc");
        QTest::newRow("dot") << QStringLiteral(".") << QString();
        QTest::newRow("dot dot") << QStringLiteral("..") << QString();
        QTest::newRow("dot dot in blanks") << QStringLiteral("  .. ") << QString();
        QTest::newRow("dot after removing slash") << QStringLiteral("./") << QString();
        QTest::newRow("dot dot after removing backslashes") << QStringLiteral("\\.\\.\\") << QString();
        QTest::newRow("three dots") << QStringLiteral("...") << QStringLiteral("...");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("separators and blanks only") << QStringLiteral(" \\ / \\\\ ") << QString();
        QTest::newRow("inner blanks kept") << QStringLiteral(" 植物 大战 ") << QStringLiteral("植物 大战");
        QTest::newRow("nul") << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"))
                             << QStringLiteral("ab");
        QTest::newRow("chinese") << QStringLiteral("名字") << QStringLiteral("名字");
        // The portal's escaped form: the folder has the name the player reads.
        QTest::newRow("escaped") << QStringLiteral("%u661F%u591C%u63A5%u82F9%u679C") << QStringLiteral("星夜接苹果");
        QTest::newRow("escaped separators") << QStringLiteral("%u98CE%2F%5C%u8F66%20") << QStringLiteral("风车");
        QTest::newRow("escaped dot dot") << QStringLiteral("%2E%2E") << QString();
        QTest::newRow("escaped nul") << QStringLiteral("a%00b") << QStringLiteral("ab");
        QTest::newRow("broken escape kept") << QStringLiteral("100%u") << QStringLiteral("100%u");
    }

    void folderName()
    {
        QFETCH(QString, gameName);
        QFETCH(QString, folder);
        QCOMPARE(ScreenshotFolderName(gameName), folder);
        if (folder.isEmpty())
            return;

        // Whatever the name, the bitmap lands two levels under the desktop.
        const QString desktop = tmpPath(QStringLiteral("desk/"));
        const QString path = ScreenshotFilePath(desktop, folder, QStringLiteral("537"));
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("537.bmp"));
        const QString parent = QFileInfo(QDir::cleanPath(path)).absolutePath();
        QCOMPARE(QFileInfo(parent).fileName(), folder);
        QCOMPARE(QFileInfo(parent).absolutePath(), QDir::cleanPath(desktop));
    }

    void filePathText()
    {
        QCOMPARE(ScreenshotFilePath(QStringLiteral("/home/u/桌面/"), QStringLiteral("AB"), QStringLiteral("537")),
                 QStringLiteral("/home/u/桌面/AB/537.bmp"));
    }

    void writeCreatesFolderAndReplaces()
    {
        const QString path = tmpPath(QStringLiteral("write/desk/游戏/123.bmp"));
        QVERIFY(WriteBitmapFile("BM first", path));
        QVERIFY(WriteBitmapFile("BM second", path));
        QCOMPARE(ReadFile(path), QByteArray("BM second"));
        // No temporary files left next to it.
        QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("123.bmp")});
    }

    void writeFailuresAreReported()
    {
        const QString blocker = tmpPath(QStringLiteral("blocker.txt"));
        QVERIFY(WriteFile(blocker, "plain file"));
        // The folder would have to be created inside a regular file.
        QVERIFY(!WriteBitmapFile("BM data", blocker + QStringLiteral("/游戏/123.bmp")));
        // The target itself is a folder.
        const QString folderTarget = tmpPath(QStringLiteral("taken/123.bmp"));
        QVERIFY(QDir().mkpath(folderTarget));
        QVERIFY(!WriteBitmapFile("BM data", folderTarget));
        QVERIFY(QFileInfo(folderTarget).isDir());
        // Nothing to write.
        QVERIFY(!WriteBitmapFile(QByteArray(), tmpPath(QStringLiteral("empty/1.bmp"))));
        QVERIFY(!QFileInfo::exists(tmpPath(QStringLiteral("empty/1.bmp"))));

        QCOMPARE(ReadFile(blocker), QByteArray("plain file"));
    }
};

QTEST_GUILESS_MAIN(TestScreenshot)
#include "tst_screenshot.moc"
