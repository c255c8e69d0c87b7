#include "download/dlrules.h"
#include "download/downloadjob.h"
#include "download/formatsize.h"
#include "download/httptestserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
// Everything a job reported, in order.
struct Trace {
    QList<int> codes;
    QStringList texts;
    QList<qint64> read;
    QList<qint64> max;
    QString writeError;
    qint64 completedBytes = -1;
    bool ended = false;

    qint64 maxOf(int code) const { return max.value(codes.indexOf(code), -1); }
    QString textOf(int code) const { return texts.value(codes.indexOf(code)); }
};

void follow(DownloadJob &job, Trace &trace)
{
    QObject::connect(&job, &DownloadJob::status, &job,
                     [&trace](int code, const QString &text, qint64 read, qint64 max) {
                         trace.codes << code;
                         trace.texts << text;
                         trace.read << read;
                         trace.max << max;
                         if (code == DownloadJob::StatusError)
                             trace.ended = true;
                     });
    QObject::connect(&job, &DownloadJob::writeFailed, &job, [&trace](const QString &text) {
        trace.writeError = text;
        trace.ended = true;
    });
    QObject::connect(&job, &DownloadJob::completed, &job, [&trace](qint64 bytes) {
        trace.completedBytes = bytes;
        trace.ended = true;
    });
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}

class TestDownloadJob : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void pathRules_data();
    void pathRules();
    void otherRules();
    void formatSize_data();
    void formatSize();

    void sizedTransfer();
    void unsizedTransfer();
    void redirect();
    void zeroBytes();
    void failures_data();
    void failures();
    void cancelLeavesNothing();
    void commitFailures();
    void refusedStarts();

private:
    // Runs a job on `path` into the work folder until it ends.
    void run(DownloadJob &job, Trace &trace, const QString &path, int timeoutMs = 10000);

    HttpTestServer m_http;
    QNetworkAccessManager m_network;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::atomic<int> m_fileHits{0};
    const QByteArray m_sized = HttpTestServer::pattern(300000, 1);
    const QByteArray m_unsized = HttpTestServer::pattern(70000, 2);
    const QByteArray m_target = HttpTestServer::pattern(5000, 3);
    const QByteArray m_slow = HttpTestServer::pattern(1 << 20, 4);
};

void TestDownloadJob::initTestCase()
{
    httplib::Server &s = m_http.server();
    s.Get("/sized.swf", [this](const httplib::Request &, httplib::Response &res) {
        ++m_fileHits;
        res.set_content(m_sized.constData(), size_t(m_sized.size()), "application/x-shockwave-flash");
    });
    s.Get("/unsized", [this](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider("application/octet-stream; charset=binary",
            [this](size_t offset, httplib::DataSink &sink) {
                if (offset >= size_t(m_unsized.size())) {
                    sink.done();
                    return true;
                }
                const size_t n = std::min<size_t>(4096, m_unsized.size() - offset);
                return sink.write(m_unsized.constData() + offset, n);
            });
    });
    s.Get("/redir", [](const httplib::Request &, httplib::Response &res) {
        res.set_redirect("/target/game.swf?v=1");
    });
    s.Get("/target/game.swf", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content(m_target.constData(), size_t(m_target.size()), "application/x-shockwave-flash");
    });
    s.Get("/empty", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("", "application/x-shockwave-flash");
    });
    s.Get("/missing", [](const httplib::Request &, httplib::Response &res) {
        res.status = 404;
        res.set_content("no such game", "text/plain");
    });
    s.Get("/stall", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(1000, "application/octet-stream",
            [this](size_t offset, size_t, httplib::DataSink &sink) {
                if (offset == 0)
                    return sink.write(m_sized.constData(), 100);
                m_http.nap(20000);
                return false;
            });
    });
    s.Get("/truncated", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(10000, "application/octet-stream",
            [this](size_t offset, size_t, httplib::DataSink &sink) {
                if (offset == 0)
                    return sink.write(m_sized.constData(), 5000);
                return false; // the connection closes half way
            });
    });
    s.Get("/slow", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(size_t(m_slow.size()), "application/octet-stream",
            [this](size_t offset, size_t length, httplib::DataSink &sink) {
                if (!m_http.nap(20))
                    return false;
                return sink.write(m_slow.constData() + offset, std::min<size_t>(length, 16384));
            });
    });
    QVERIFY(m_http.start());
}

void TestDownloadJob::cleanupTestCase()
{
    m_http.stop();
}

void TestDownloadJob::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestDownloadJob::run(DownloadJob &job, Trace &trace, const QString &path, int timeoutMs)
{
    follow(job, trace);
    QCOMPARE(job.start(m_http.url(path), m_dir->path()), DownloadJob::Started);
    QTRY_VERIFY_WITH_TIMEOUT(trace.ended, timeoutMs);
}

void TestDownloadJob::pathRules_data()
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
    QTest::newRow("root") << "/x" << "/" << "x" << "/x";
}

void TestDownloadJob::pathRules()
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

void TestDownloadJob::otherRules()
{
    QCOMPARE(DlRules::joinPath("/tmp/a", "b.swf"), QString("/tmp/a/b.swf"));
    QCOMPARE(DlRules::joinPath("C:\\a\\", "b.swf"), QString("C:\\a\\b.swf"));
    QCOMPARE(DlRules::lastPart("a$$$b$$$c", "$$$"), QString("c"));
    QCOMPARE(DlRules::lastPart("abc", "X"), QString("abc"));
    QCOMPARE(DlRules::lastPart("aXbx", "x"), QString("")); // case-sensitive
    QCOMPARE(DlRules::localPath("C:\\a\\b.swf"), QString("C:/a/b.swf"));

    // The redirect name stays a direct child of the folder.
    QCOMPARE(DlRules::redirectFileTitle("http://h/a/game.swf?v=1"), QString("game.swf?v=1"));
    QCOMPARE(DlRules::redirectFileTitle("http://h/a\\..\\evil.swf"), QString("evil.swf"));
    QCOMPARE(DlRules::redirectFileTitle("http://h/dir/"), QString());

    QCOMPARE(DlRules::renameOnRedirectReading(true, true), false);
    QCOMPARE(DlRules::renameOnRedirectReading(false, true), true);
    QCOMPARE(DlRules::renameOnRedirectReading(false, false), false);

    QCOMPARE(DlRules::progressFraction(50, 200), 0.25f);
    QCOMPARE(DlRules::progressFraction(50, 0), 0.0f);
    QCOMPARE(DlRules::progressFraction(50, -1), 0.0f);
    QCOMPARE(DlRules::redirectedText("http://x/y"), QString("Redirected to http://x/y"));
    QCOMPARE(DlRules::zeroBytesText(), QString("Zero bytes retrieved"));
    QCOMPARE(DlRules::writeFailedText("Permission denied", "/a/b.swf"),
             QString("Permission denied [/a/b.swf]"));
}

void TestDownloadJob::formatSize_data()
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

void TestDownloadJob::formatSize()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(FormatSize(bytes), text);
}

void TestDownloadJob::sizedTransfer()
{
    const int hitsBefore = m_fileHits;
    for (int round = 0; round < 2; ++round) {
        DownloadJob job(&m_network);
        Trace trace;
        run(job, trace, "/sized.swf");
        QCOMPARE(trace.completedBytes, qint64(m_sized.size()));

        // connecting, MIME type, begin (with the size), temp file, data..., end
        QCOMPARE(trace.codes.first(), int(DownloadJob::StatusConnecting));
        QCOMPARE(trace.textOf(DownloadJob::StatusConnecting), QString("127.0.0.1"));
        QCOMPARE(trace.codes.mid(1, 3), (QList<int>{13, 4, 14}));
        QCOMPARE(trace.textOf(DownloadJob::StatusMimeType), QString("application/x-shockwave-flash"));
        QCOMPARE(trace.maxOf(DownloadJob::StatusBeginData), qint64(m_sized.size()));
        const QString temp = trace.textOf(DownloadJob::StatusCacheFile);
        QCOMPARE(QFileInfo(temp).absolutePath(), QDir(m_dir->path()).absolutePath());
        QCOMPARE(trace.codes.last(), int(DownloadJob::StatusEndData));
        QVERIFY(trace.codes.count(DownloadJob::StatusData) >= 1);
        QCOMPARE(trace.read.last(), qint64(m_sized.size()));
        for (int i = 1; i < trace.read.size(); ++i)
            QVERIFY(trace.read[i] >= trace.read[i - 1]);

        // Until commit the data sits only in the temporary file.
        QCOMPARE(filesIn(m_dir->path()), QStringList{QFileInfo(temp).fileName()});
        const QString target = m_dir->filePath("1234.swf");
        QVERIFY(job.commit(target));
        QCOMPARE(filesIn(m_dir->path()), QStringList{"1234.swf"});
        QCOMPARE(readFile(target), m_sized);
        QVERIFY(QFileInfo(target).permissions() & QFile::ReadOther);
        QVERIFY(QFile::remove(target));
    }
    // Each transfer went to the server.
    QCOMPARE(m_fileHits - hitsBefore, 2);
}

void TestDownloadJob::unsizedTransfer()
{
    DownloadJob job(&m_network);
    Trace trace;
    run(job, trace, "/unsized");
    QCOMPARE(trace.completedBytes, qint64(m_unsized.size()));
    QCOMPARE(trace.textOf(DownloadJob::StatusMimeType), QString("application/octet-stream"));
    for (qint64 max : trace.max)
        QCOMPARE(max, qint64(0));
    QVERIFY(job.commit(m_dir->filePath("u.bin")));
    QCOMPARE(readFile(m_dir->filePath("u.bin")), m_unsized);
}

void TestDownloadJob::redirect()
{
    const QString target = m_http.url("/target/game.swf?v=1");
    {
        DownloadJob job(&m_network);
        Trace trace;
        run(job, trace, "/redir");
        QVERIFY(trace.codes.contains(DownloadJob::StatusRedirecting));
        QCOMPARE(trace.textOf(DownloadJob::StatusRedirecting), target);
        QVERIFY(trace.codes.indexOf(DownloadJob::StatusRedirecting)
                < trace.codes.indexOf(DownloadJob::StatusBeginData));
        QCOMPARE(trace.completedBytes, qint64(m_target.size()));
        QVERIFY(job.commit(m_dir->filePath("r.swf")));
        QCOMPARE(readFile(m_dir->filePath("r.swf")), m_target);
    }
    {
        // Cancelled at the redirect: nothing more is reported, nothing is left.
        QTemporaryDir dir;
        DownloadJob job(&m_network);
        Trace trace;
        follow(job, trace);
        connect(&job, &DownloadJob::status, &job, [&job](int code) {
            if (code == DownloadJob::StatusRedirecting)
                job.cancel();
        });
        QCOMPARE(job.start(m_http.url("/redir"), dir.path()), DownloadJob::Started);
        QTRY_VERIFY(trace.codes.contains(DownloadJob::StatusRedirecting));
        QTest::qWait(200);
        QCOMPARE(trace.codes.last(), int(DownloadJob::StatusRedirecting));
        QCOMPARE(trace.completedBytes, qint64(-1));
        QVERIFY(filesIn(dir.path()).isEmpty());
    }
}

void TestDownloadJob::zeroBytes()
{
    DownloadJob job(&m_network);
    Trace trace;
    run(job, trace, "/empty");
    QCOMPARE(trace.completedBytes, qint64(0));
    QCOMPARE(trace.maxOf(DownloadJob::StatusBeginData), qint64(0));
    job.discard();
    QVERIFY(filesIn(m_dir->path()).isEmpty());
}

void TestDownloadJob::failures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("textPart");
    QTest::newRow("404") << "/missing" << "404";
    QTest::newRow("stall") << "/stall" << "stalled";
    QTest::newRow("closed half way") << "/truncated" << "";
    QTest::newRow("nothing listening") << "" << "";
}

void TestDownloadJob::failures()
{
    QFETCH(QString, path);
    QFETCH(QString, textPart);
    DownloadJob job(&m_network);
    job.setIdleTimeout(700);
    Trace trace;
    QElapsedTimer clock;
    clock.start();
    if (path.isEmpty()) {
        // A port that was free a moment ago.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        follow(job, trace);
        QCOMPARE(job.start(QString("http://127.0.0.1:%1/x.swf").arg(port), m_dir->path()),
                 DownloadJob::Started);
        QTRY_VERIFY(trace.ended);
    } else {
        run(job, trace, path);
    }
    QCOMPARE(trace.codes.last(), int(DownloadJob::StatusError));
    QCOMPARE(trace.codes.count(DownloadJob::StatusError), 1);
    QVERIFY2(trace.texts.last().contains(textPart), qPrintable(trace.texts.last()));
    QVERIFY(!trace.texts.last().isEmpty());
    QCOMPARE(trace.completedBytes, qint64(-1));
    QVERIFY(clock.elapsed() < 5000);
    QVERIFY2(filesIn(m_dir->path()).isEmpty(), qPrintable(filesIn(m_dir->path()).join(' ')));
    QVERIFY(!job.commit(m_dir->filePath("x.swf")));
    QVERIFY(!QFile::exists(m_dir->filePath("x.swf")));
}

void TestDownloadJob::cancelLeavesNothing()
{
    DownloadJob job(&m_network);
    Trace trace;
    follow(job, trace);
    QCOMPARE(job.start(m_http.url("/slow"), m_dir->path()), DownloadJob::Started);
    QTRY_VERIFY(trace.codes.contains(DownloadJob::StatusData));
    QCOMPARE(filesIn(m_dir->path()).size(), 1);
    job.cancel();
    QVERIFY(!job.isRunning());
    QVERIFY(filesIn(m_dir->path()).isEmpty());
    const int reported = trace.codes.size();
    QTest::qWait(200);
    QCOMPARE(trace.codes.size(), reported);
    QVERIFY(!trace.ended);

    // Destroying a running job is a cancel too.
    {
        DownloadJob running(&m_network);
        Trace t;
        follow(running, t);
        QCOMPARE(running.start(m_http.url("/slow"), m_dir->path()), DownloadJob::Started);
        QTRY_VERIFY(t.codes.contains(DownloadJob::StatusData));
    }
    QVERIFY(filesIn(m_dir->path()).isEmpty());
}

void TestDownloadJob::commitFailures()
{
    {
        // An existing file is replaced.
        QFile old(m_dir->filePath("1234.swf"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(1000000, 'x'));
        old.close();
        DownloadJob job(&m_network);
        Trace trace;
        run(job, trace, "/target/game.swf");
        QVERIFY(job.commit(m_dir->filePath("1234.swf")));
        QCOMPARE(readFile(m_dir->filePath("1234.swf")), m_target);
    }
    {
        // A target that cannot be taken: the data is dropped, with a reason.
        QVERIFY(QDir(m_dir->path()).mkdir("taken"));
        DownloadJob job(&m_network);
        Trace trace;
        run(job, trace, "/target/game.swf");
        QVERIFY(!job.commit(m_dir->filePath("taken")));
        QVERIFY(!job.errorString().isEmpty());
        QVERIFY(!job.commit(m_dir->filePath("other.swf"))); // only once
        QCOMPARE(filesIn(m_dir->path()), QStringList{"1234.swf"});
        QVERIFY(QFileInfo(m_dir->filePath("taken")).isDir());
    }
}

void TestDownloadJob::refusedStarts()
{
    const QString folder = m_dir->path();
    for (const QString &url : {QString(""), QString("not a url"), QString("ftp://127.0.0.1/a.swf"),
                               QString("file:///etc/passwd"), QString("http:///nohost.swf")}) {
        DownloadJob job(&m_network);
        QCOMPARE(job.start(url, folder), DownloadJob::InvalidUrl);
        QVERIFY(!job.errorString().isEmpty());
    }
    DownloadJob job(&m_network);
    QCOMPARE(job.start(m_http.url("/sized.swf"), m_dir->filePath("no/such/folder")),
             DownloadJob::CannotCreateFile);
    QVERIFY(!job.errorString().isEmpty());
    QVERIFY(!job.isRunning());
    QVERIFY(filesIn(folder).isEmpty());
}

QTEST_GUILESS_MAIN(TestDownloadJob)
#include "tst_downloadjob.moc"
