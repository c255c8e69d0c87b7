// List changes, settings writes and a download on a disk that is full or
// nearly so. A tmpfs of a few hundred KB is mounted where the machine allows
// it (root with the right to mount); elsewhere a file size limit stands in
// for the free space. Either way: the old files survive, a failure is
// reported where the caller can report it, and nothing is left behind.
#include "common/apppaths.h"
#include "common/safefile.h"
#include "common/textcodec.h"
#include "download/downloadjob.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"
#include "startup/settings.h"
#include "startup/settingsstore.h"
#include "support/core/files.h"
#include "support/core/httpserver.h"
#include "support/core/sizelimit.h"

#include <httplib.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <fcntl.h>
#include <unistd.h>

#include <optional>

namespace
{
constexpr qint64 DISK_BYTES = 512 * 1024;

// A small disk whose free space the test sets.
class SmallDisk
{
public:
    SmallDisk()
    {
        const QByteArray where = QFile::encodeName(m_dir.path());
        const QByteArray options = "size=" + QByteArray::number(DISK_BYTES);
        m_mounted = ::mount("tmpfs", where.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk()
    {
        m_limit.reset();
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }

    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

    // Leaves about `bytes` free: a filler file takes the rest of the tmpfs,
    // or the file size limit becomes `bytes`.
    void setFree(qint64 bytes)
    {
        if (!m_mounted) {
            m_limit.reset();
            m_limit.emplace(rlim_t(bytes));
            return;
        }
        const QByteArray filler = QFile::encodeName(m_dir.filePath(QStringLiteral(".filler")));
        ::unlink(filler.constData());
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const QByteArray block(4096, 'f');
        qint64 size = 0;
        while (::write(fd, block.constData(), size_t(block.size())) == block.size())
            size += block.size();
        if (::ftruncate(fd, qMax<qint64>(0, size - bytes)) != 0)
            qWarning("cannot shrink the filler");
        ::close(fd);
    }
    void unlimited() { setFree(DISK_BYTES); }

    // The folder's entries without the filler.
    QStringList entries(const QString &sub) const
    {
        QStringList out = EntriesUnder(m_dir.filePath(sub));
        out.removeAll(QStringLiteral(".filler"));
        return out;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    std::optional<SizeLimit> m_limit;
};

const QList<qint64> FREE_STEPS = {0, 4096, 8192, 16384, 32768, 49152, 65536, 98304, 131072, 196608};
}

class TestFullDisk : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void listChangesAreAllOrNothing();
    void settingsWriteKeepsTheOldFile();
    void downloadFailsWithoutLeftovers();
};

void TestFullDisk::initTestCase()
{
    SmallDisk disk;
    qInfo(disk.mounted() ? "a tmpfs of %lld bytes" : "no mount allowed: a file size limit stands for the free space (%lld)",
          DISK_BYTES);
}

void TestFullDisk::listChangesAreAllOrNothing()
{
    SmallDisk disk;
    const AppPaths paths(disk.path());
    QVERIFY(QDir().mkpath(paths.dataDir()));
    const QString d = QStringLiteral("date_d.dat");
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("%u4E0B%u8F7D%u6E38%u620F%1|%1|%1|1\r\n").arg(i);
    QVERIFY(SafeFile::writeWhole(paths.dataFile(d), TextCodec::toAnsi(text)));
    QVERIFY(GenerateListPage(paths, d));

    int failed = 0, done = 0;
    qint64 id = 999999;
    for (const qint64 free : FREE_STEPS) {
        for (int op = 0; op < 3; ++op) {
            const QByteArray listBefore = ReadFile(paths.dataFile(d));
            const QByteArray pageBefore = ReadFile(paths.dataFile(QStringLiteral("d.htm")));
            disk.setFree(free);
            bool ok = false;
            if (op == 0)
                ok = AddGameRecord(paths, QStringLiteral("%u65B0%u6E38%u620F"), QString::number(++id), QStringLiteral("n"), 1, d);
            else if (op == 1)
                ok = RemoveGameLine(paths, d, 2);
            else
                ok = AddGameRecord(paths, QStringLiteral("%u65B0"), QStringLiteral("5"), QStringLiteral("5"), 1, d);
            disk.unlimited();

            const QByteArray list = ReadFile(paths.dataFile(d));
            const QByteArray page = ReadFile(paths.dataFile(QStringLiteral("d.htm")));
            if (ok) {
                ++done;
                QVERIFY(list != listBefore);
            } else {
                ++failed;
                QCOMPARE(list, listBefore);
                QCOMPARE(page, pageBefore);
            }
            // Whatever happened, the page describes the list.
            QCOMPARE(page, ListPageBytes(*ReadListLines(paths.dataFile(d))));
            QCOMPARE(disk.entries(QStringLiteral("app")), QStringList({"d.htm", "date_d.dat"}));
        }
    }
    qInfo("list changes: %d reported failed with nothing changed, %d done", failed, done);
    QVERIFY(failed > 0);
    QVERIFY(done > 0);
}

void TestFullDisk::settingsWriteKeepsTheOldFile()
{
    SmallDisk disk;
    const AppPaths paths(disk.path());
    InitSettings(paths.configPath(), [] { return QStringLiteral("00-11-22-33-44-55"); });
    const QString big = QString(3000, QLatin1Char('v'));
    int kept = 0, written = 0;
    for (const qint64 free : FREE_STEPS) {
        const QByteArray before = ReadFile(paths.configPath());
        disk.setFree(free);
        WriteIniValue(paths.configPath(), QStringLiteral("S_q"), QStringLiteral("pad%1").arg(free), big);
        disk.unlimited();
        const QByteArray after = ReadFile(paths.configPath());
        if (after == before) {
            ++kept;
        } else {
            ++written;
            QVERIFY(after.startsWith(before));
        }
        QCOMPARE(ReadIniValue(paths.configPath(), QStringLiteral("S_q"), QStringLiteral("h_w"), QStringLiteral("0")),
                 QStringLiteral("13550"));
        QCOMPARE(disk.entries(QString()), QStringList{QStringLiteral("config.ini")});
    }
    QVERIFY(kept > 0);
    QVERIFY(written > 0);
}

void TestFullDisk::downloadFailsWithoutLeftovers()
{
    HttpServer server;
    const std::string body(300 * 1024, 's');
    server.server().Get("/g.swf", [&body](const httplib::Request &, httplib::Response &res) {
        res.set_content(body, "application/x-shockwave-flash");
    });
    QVERIFY(server.start());

    SmallDisk disk;
    const AppPaths paths(disk.path());
    QVERIFY(QDir().mkpath(paths.flashDir()));
    for (const qint64 free : {qint64(0), qint64(65536), DISK_BYTES}) {
        const bool room = free == DISK_BYTES;
        disk.setFree(room ? DISK_BYTES : free);
        DownloadJob job(nullptr);
        QSignalSpy failed(&job, &DownloadJob::writeFailed);
        QSignalSpy completed(&job, &DownloadJob::completed);
        if (job.start(server.url(QStringLiteral("/g.swf")), paths.flashDir()) == DownloadJob::Started)
            QTRY_VERIFY_WITH_TIMEOUT(failed.count() + completed.count() > 0, 30000);
        if (room) {
            QCOMPARE(completed.count(), 1);
            QVERIFY(job.commit(paths.flashFile(QStringLiteral("12"))));
            QCOMPARE(QFileInfo(paths.flashFile(QStringLiteral("12"))).size(), qint64(body.size()));
            QVERIFY(QFile::remove(paths.flashFile(QStringLiteral("12"))));
        } else {
            // The write failure reaches the job's owner, which reports it.
            QCOMPARE(failed.count(), 1);
        }
        disk.unlimited();
        QCOMPARE(disk.entries(QStringLiteral("flash")), QStringList());
    }
}

QTEST_GUILESS_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
