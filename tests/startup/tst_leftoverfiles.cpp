// Start-up removes the temporary files a killed run left behind, and nothing
// else.
#include "common/apppaths.h"
#include "common/safefile.h"
#include "download/downloadjob.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"
#include "startup/leftoverfiles.h"
#include "support/core/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{
}

class TestLeftoverFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void removesOnlyOwnTemporaryNames()
    {
        QTemporaryDir dir;
        const AppPaths paths(dir.path());
        QVERIFY(QDir().mkpath(paths.dataDir()));
        QVERIFY(QDir().mkpath(paths.flashDir()));

        const QStringList leftovers = {
            "config.ini.GYWaOd", "app/date_n.dat.abc123", "app/date_c.dat.ZZZZZZ",
            "app/date_d.dat.GYWaOd", "app/n.htm.q1w2e3", "app/c.htm.AAAAAA", "app/d.htm.zzzzzz",
            "flash/.dl-Ab12Cd.part",
            // What broken-off downloads kept for a game the downloads list no
            // longer names, and a record's rewrite cut short.
            "flash/77.swf.part", "flash/77.swf.part.info", "flash/12.swf.part.info.Ab12Cd"};
        const QStringList kept = {
            // The downloads list names game 12: its download goes on at the next click.
            "flash/12.swf.part", "flash/12.swf.part.info", "flash/77.part",
            "config.ini", "app/date_d.dat", "app/d.htm", "app/i.gif", "app/flash.htm", "flash/12.swf",
            // Look-alikes: other lengths, other files, other folders.
            "config.ini.GYWaO", "config.ini.GYWaOd1", "config.ini.GYW-Od", "app/config.ini.GYWaOd",
            "app/date_x.dat.GYWaOd", "app/i.gif.GYWaOd", "date_d.dat.GYWaOd", "flash/date_d.dat.GYWaOd",
            "flash/.dl-Ab12C.part", "flash/.dl-Ab12Cd.partx", "flash/dl-Ab12Cd.part", "app/.dl-Ab12Cd.part",
            "notes.txt.GYWaOd"};
        for (const QString &name : leftovers + kept)
            QVERIFY(WriteFile(dir.filePath(name), "x"));
        QVERIFY(WriteFile(dir.filePath("app/date_d.dat"), "game|12|http://h/12.swf|1\r\n"));
        // A folder or a link with a temporary name is not the program's.
        QVERIFY(QDir().mkdir(dir.filePath("app/n.htm.FOLDER")));
        QVERIFY(QFile::link(dir.filePath("app/i.gif"), dir.filePath("app/c.htm.LINKED")));

        QCOMPARE(RemoveLeftoverFiles(paths), int(leftovers.size()));

        QStringList expected = kept;
        expected << "app" << "flash" << "app/n.htm.FOLDER" << "app/c.htm.LINKED";
        expected.sort();
        QCOMPARE(EntriesUnder(dir.path()), expected);
        QVERIFY(QFileInfo::exists(dir.filePath("app/i.gif")));

        // A second run finds nothing.
        QCOMPARE(RemoveLeftoverFiles(paths), 0);
    }

    void namesMatchTheWriters()
    {
        // The names tested above are the ones the writers really use.
        QTemporaryDir dir;
        const AppPaths paths(dir.path());
        QVERIFY(QDir().mkpath(paths.flashDir()));
        DownloadJob job(nullptr);
        QCOMPARE(job.start(QStringLiteral("http://127.0.0.1:9/x.swf"), paths.flashDir()), DownloadJob::Started);
        const QString part = QFileInfo(job.tempFilePath()).fileName();
        QVERIFY2(DownloadJob::isTemporaryFileName(part), qPrintable(part));
        QCOMPARE(RemoveLeftoverFiles(paths), 1);
        job.cancel();
    }

    void pageBetweenRenamesIsCompleted()
    {
        // A kill after the list's rename and before the page's: the new page
        // waits complete under its temporary name and goes in place at the
        // next start; a temporary page of another list version just goes.
        QTemporaryDir dir;
        const AppPaths paths(dir.path());
        QVERIFY(QDir().mkpath(paths.dataDir()));
        const QString list = QStringLiteral("date_d.dat");
        QVERIFY(SafeFile::writeWhole(paths.dataFile(list), "A|1|1|1\r\n"));
        QVERIFY(GenerateListPage(paths, list));
        const QByteArray oldPage = ReadFile(paths.dataFile("d.htm"));
        QVERIFY(SafeFile::writeWhole(paths.dataFile(list), "B|2|2|1\r\nA|1|1|1\r\n"));
        const QByteArray newPage = ListPageBytes(*ReadListLines(paths.dataFile(list)));
        QVERIFY(SafeFile::writeWhole(paths.dataFile("d.htm.AbCdEf"), newPage));
        QVERIFY(SafeFile::writeWhole(paths.dataFile("d.htm.ZyXwVu"), oldPage + "x"));

        QCOMPARE(RemoveLeftoverFiles(paths), 2);
        QCOMPARE(ReadFile(paths.dataFile("d.htm")), newPage);
        QCOMPARE(EntriesUnder(dir.path()), QStringList({"app", "app/d.htm", "app/date_d.dat"}));
    }

    void missingFoldersAreFine()
    {
        QTemporaryDir dir;
        QCOMPARE(RemoveLeftoverFiles(AppPaths(dir.filePath(QStringLiteral("none")))), 0);
    }
};

QTEST_GUILESS_MAIN(TestLeftoverFiles)
#include "tst_leftoverfiles.moc"
