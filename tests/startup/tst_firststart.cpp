// What the process entry leaves in an application folder before the main
// window loads: the first start in an empty folder, and later starts.
#include "common/apppaths.h"
#include "common/textcodec.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"
#include "services/statistics.h"
#include "startup/processentry.h"
#include "startup/settingsstore.h"
#include "support/core/files.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class FirstStartTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyFolderGetsExactFiles()
    {
        QTemporaryDir dir;
        const AppPaths paths(dir.path());
        PrepareApplicationFolder(paths);

        QCOMPARE(FilesUnder(dir.path()),
                 QStringList({"app/c.htm", "app/d.htm", "app/date_c.dat", "app/date_d.dat",
                              "app/date_n.dat", "app/n.htm", "config.ini"}));

        const QByteArray config = TextCodec::toAnsi(
            QStringLiteral("[main]\r\nName=Kavo游戏盒\r\nuser=%1\r\nVer=1.0\r\n"
                           "[S_q]\r\nts=3\r\nquit=2\r\ns_size=2\r\nh_w=13550\r\nh_h=9210\r\n"
                           "s_kai=1\r\ns_pao=2\r\n")
                .arg(MacAddressText()));
        QCOMPARE(ReadFile(paths.configPath()), config);

        for (const char *list : {"date_n.dat", "date_c.dat", "date_d.dat"})
            QCOMPARE(ReadFile(paths.dataFile(QString::fromLatin1(list))), QByteArray("\r\n"));

        const QByteArray emptyText = TextCodec::toAnsi(QStringLiteral(
            "<div style=\"float:left;width:100%;text-align:center;padding-top:30px;\">暂无记录</div>"));
        for (const char *page : {"n.htm", "c.htm", "d.htm"}) {
            const QByteArray bytes = ReadFile(paths.dataFile(QString::fromLatin1(page)));
            QVERIFY2(bytes.contains(emptyText), page);
            QVERIFY(!bytes.contains("open://"));
            QVERIFY(bytes.endsWith("</html>\r\n"));
        }
    }

    void perUserFolderIsCreatedAndTheInstalledOneLeftAlone()
    {
        QTemporaryDir dir;
        const QString installed = dir.filePath(QStringLiteral("lib/kavo-gamebox"));
        QVERIFY(QDir().mkpath(installed + QStringLiteral("/app")));
        const AppPaths paths(installed, dir.filePath(QStringLiteral("home/.local/share/kavo-gamebox")));
        PrepareApplicationFolder(paths);

        QCOMPARE(FilesUnder(paths.appDir()),
                 QStringList({"app/c.htm", "app/d.htm", "app/date_c.dat", "app/date_d.dat",
                              "app/date_n.dat", "app/n.htm", "config.ini"}));
        QCOMPARE(FilesUnder(installed), QStringList());
    }

    void laterStartsKeepWhatExists()
    {
        QTemporaryDir dir;
        const AppPaths paths(dir.path());
        PrepareApplicationFolder(paths);
        QVERIFY(AddGameRecord(paths, QStringLiteral("%u4E2D%u6587"), QStringLiteral("12"),
                              QStringLiteral("34"), 1, QStringLiteral("date_n.dat")));
        const QByteArray list = ReadFile(paths.dataFile(QStringLiteral("date_n.dat")));

        // A page older than its list stays as it is.
        QVERIFY(AddGameRecord(paths, QStringLiteral("Fav"), QStringLiteral("7"),
                              QStringLiteral("7"), 1, QStringLiteral("date_c.dat")));
        QVERIFY(WriteFile(paths.dataFile(QStringLiteral("c.htm")), "old page"));

        // A deleted page is regenerated with the list's items.
        QVERIFY(QFile::remove(paths.dataFile(QStringLiteral("n.htm"))));
        WriteIniValue(paths.configPath(), QStringLiteral("main"), QStringLiteral("user"), QStringLiteral("abc"));

        PrepareApplicationFolder(paths);

        QCOMPARE(ReadFile(paths.dataFile(QStringLiteral("date_n.dat"))), list);
        QCOMPARE(ReadFile(paths.dataFile(QStringLiteral("c.htm"))), QByteArray("old page"));
        const QByteArray page = ReadFile(paths.dataFile(QStringLiteral("n.htm")));
        QVERIFY(page.contains("<li><a href=open://1>"));
        QVERIFY(page.contains(TextCodec::toAnsi(QStringLiteral("·中文</a>"))));
        QCOMPARE(ReadIniValue(paths.configPath(), QStringLiteral("main"), QStringLiteral("user"),
                              QStringLiteral("0")),
                 QStringLiteral("abc"));
    }

    void missingListFileIsRecreatedEmpty()
    {
        QTemporaryDir dir;
        const AppPaths paths(dir.path());
        PrepareApplicationFolder(paths);
        QVERIFY(AddGameRecord(paths, QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1"), 1,
                              QStringLiteral("date_d.dat")));
        QVERIFY(QFile::remove(paths.dataFile(QStringLiteral("date_d.dat"))));
        PrepareApplicationFolder(paths);
        QCOMPARE(ReadFile(paths.dataFile(QStringLiteral("date_d.dat"))), QByteArray("\r\n"));
        // Its page is not regenerated at start: it still shows the old item.
        QVERIFY(ReadFile(paths.dataFile(QStringLiteral("d.htm"))).contains("open://1"));
    }

    void unwritableFolderDoesNotStopTheStart()
    {
        // The application folder is a regular file: nothing can be created,
        // and every step still runs without crashing.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("notafolder"));
        QVERIFY(WriteFile(file, QByteArray()));
        PrepareApplicationFolder(AppPaths(file));
        QVERIFY(QFileInfo(file).isFile());
    }
};

QTEST_GUILESS_MAIN(FirstStartTest)
#include "tst_firststart.moc"
