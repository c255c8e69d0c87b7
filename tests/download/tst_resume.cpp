#include "download/downloadjob.h"
#include "download/resumerules.h"
#include "support/core/files.h"
#include "support/core/httpserver.h"

#include <httplib.h>

#include <QCoreApplication>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using DlResume::Outcome;

// A game file the test server serves with ranges and If-Range as a web
// server does; what it serves, its validator, where it hangs up and whether
// it knows ranges at all change between the steps.
class TestResume : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void records_data();
    void records();
    void answers_data();
    void answers();
    void cutAndResume();

private:
    struct Try {
        bool completed = false;
        qint64 received = 0;
        qint64 resumedFrom = 0;
        qint64 firstCount = -1; // bytesRead of the first data status
    };
    // One job for the target in the work folder, to its end; commits on success.
    Try fetch();
    void serve(const QByteArray &body, const QByteArray &etag, qint64 cutAfter, bool ranges);

    HttpServer m_http;
    QMutex m_mutex;
    QByteArray m_body;
    QByteArray m_etag;
    qint64 m_cutAfter = -1;
    bool m_ranges = true;
    QStringList m_seen; // "Range|If-Range" of each request
    QTemporaryDir m_dir;
    QString m_target;
};

void TestResume::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_target = m_dir.filePath("1234.swf");
    m_http.server().Get("/game.swf", [this](const httplib::Request &req, httplib::Response &res) {
        QMutexLocker lock(&m_mutex);
        const QByteArray body = m_body;
        const qint64 cut = m_cutAfter;
        const std::string range = req.get_header_value("Range");
        const std::string ifRange = req.get_header_value("If-Range");
        m_seen << QString::fromStdString(range + '|' + ifRange);
        // The ranges are ours to answer, also the refusals.
        const_cast<httplib::Request &>(req).ranges.clear();
        qint64 from = 0;
        if (m_ranges && range.rfind("bytes=", 0) == 0 && ifRange == m_etag.toStdString())
            from = std::stoll(range.substr(6));
        res.set_header("ETag", m_etag.toStdString());
        if (from >= body.size()) {
            res.status = 416;
            res.set_header("Content-Range", "bytes */" + std::to_string(body.size()));
            return;
        }
        if (from > 0) {
            res.status = 206;
            res.set_header("Content-Range", "bytes " + std::to_string(from) + '-'
                                                + std::to_string(body.size() - 1) + '/'
                                                + std::to_string(body.size()));
        }
        res.set_content_provider(size_t(body.size() - from), "application/x-shockwave-flash",
            [body, from, cut](size_t offset, size_t length, httplib::DataSink &sink) {
                if (cut >= 0 && qint64(offset) >= cut)
                    return false; // the line drops
                size_t n = std::min<size_t>(length, 16384);
                if (cut >= 0)
                    n = std::min<size_t>(n, size_t(cut - qint64(offset)));
                return sink.write(body.constData() + from + offset, n);
            });
    });
    QVERIFY(m_http.start());
}

void TestResume::cleanupTestCase()
{
    m_http.stop();
}

void TestResume::serve(const QByteArray &body, const QByteArray &etag, qint64 cutAfter, bool ranges)
{
    QMutexLocker lock(&m_mutex);
    m_body = body;
    m_etag = etag;
    m_cutAfter = cutAfter;
    m_ranges = ranges;
    m_seen.clear();
}

TestResume::Try TestResume::fetch()
{
    Try result;
    DownloadJob job(nullptr);
    job.setResumeTarget(m_target);
    QSignalSpy done(&job, &DownloadJob::completed);
    bool failed = false;
    connect(&job, &DownloadJob::status, &job, [&](int code, const QString &, qint64 read, qint64) {
        failed = failed || code == DownloadJob::StatusError;
        if (code == DownloadJob::StatusData && result.firstCount < 0)
            result.firstCount = read;
    });
    if (job.start(m_http.url("/game.swf"), QString()) != DownloadJob::Started)
        return result;
    QTest::qWaitFor([&] { return failed || done.count() == 1; }, 20000);
    result.received = job.bytesReceived();
    result.resumedFrom = job.resumedFrom();
    result.completed = !failed && job.commit(m_target);
    return result;
}

void TestResume::records_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    const QByteArray good = DlResume::encodeRecord({"http://h/1.swf", "\"v1\"", 900});
    QTest::newRow("as written") << good << true;
    QTest::newRow("size unknown") << DlResume::encodeRecord({"http://h/1.swf", "\"v1\"", -1}) << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("cut short") << good.left(good.size() - 5) << false;
    QTest::newRow("other format") << QByteArray(good).replace("partial 1", "partial 2") << false;
    QTest::newRow("no validator") << DlResume::encodeRecord({"http://h/1.swf", "", 900}) << false;
    QTest::newRow("no address") << DlResume::encodeRecord({"", "\"v1\"", 900}) << false;
    QTest::newRow("bad size") << QByteArray(good).replace("=900", "=9x0") << false;
    QTest::newRow("negative size") << QByteArray(good).replace("=900", "=-5") << false;
    QTest::newRow("extra line") << good + "x=1\n" << false;
    QTest::newRow("huge") << good + QByteArray(5000, 'a') << false;
    QTest::newRow("zero bytes") << QByteArray(40, '\0') << false;
}

void TestResume::records()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    const auto record = DlResume::decodeRecord(bytes);
    QCOMPARE(record.has_value(), valid);
    if (valid)
        QCOMPARE(DlResume::encodeRecord(*record), bytes);
}

void TestResume::answers_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentRange");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<qint64>("total");
    const int append = int(Outcome::Append), fresh = int(Outcome::Fresh), restart = int(Outcome::Restart);
    QTest::newRow("whole file") << qint64(0) << 200 << QByteArray() << qint64(900) << fresh << qint64(900);
    QTest::newRow("range refused: whole file") << qint64(500) << 200 << QByteArray() << qint64(900) << fresh << qint64(900);
    QTest::newRow("the rest") << qint64(500) << 206 << QByteArray("bytes 500-899/900") << qint64(400) << append << qint64(900);
    QTest::newRow("the rest, size unknown") << qint64(500) << 206 << QByteArray("bytes 500-899/*") << qint64(-1) << append << qint64(-1);
    QTest::newRow("another start") << qint64(500) << 206 << QByteArray("bytes 0-899/900") << qint64(900) << restart << qint64(-1);
    QTest::newRow("stops short") << qint64(500) << 206 << QByteArray("bytes 500-599/900") << qint64(100) << restart << qint64(-1);
    QTest::newRow("length disagrees") << qint64(500) << 206 << QByteArray("bytes 500-899/900") << qint64(10) << restart << qint64(-1);
    QTest::newRow("no range header") << qint64(500) << 206 << QByteArray() << qint64(400) << restart << qint64(-1);
    QTest::newRow("garbled range") << qint64(500) << 206 << QByteArray("bytes 500-x/900") << qint64(-1) << restart << qint64(-1);
    QTest::newRow("beyond the end") << qint64(500) << 206 << QByteArray("bytes 500-999/900") << qint64(-1) << restart << qint64(-1);
    QTest::newRow("not satisfiable") << qint64(500) << 416 << QByteArray("bytes */300") << qint64(0) << restart << qint64(-1);
}

void TestResume::answers()
{
    QFETCH(qint64, from);
    QFETCH(int, status);
    QFETCH(QByteArray, contentRange);
    QFETCH(qint64, length);
    QFETCH(int, outcome);
    QFETCH(qint64, total);
    const DlResume::Answer answer = DlResume::judgeAnswer(from, status, contentRange, length);
    QCOMPARE(int(answer.outcome), outcome);
    QCOMPARE(answer.total, total);

    // What is asked: only the same address, with a validator, short of the end.
    const DlResume::Record record{"http://h/1.swf", "\"v1\"", 900};
    QCOMPARE(DlResume::planRequest(record, "http://h/1.swf", 500).range, QByteArray("bytes=500-"));
    QCOMPARE(DlResume::planRequest(record, "http://h/1.swf", 500).ifRange, QByteArray("\"v1\""));
    QCOMPARE(DlResume::planRequest(record, "http://h/2.swf", 500).from, 0);
    QCOMPARE(DlResume::planRequest(record, "http://h/1.swf", 900).from, 0);
    QCOMPARE(DlResume::planRequest(std::nullopt, "http://h/1.swf", 500).from, 0);
    QCOMPARE(DlResume::validatorOf("W/\"weak\"", "Tue, 01 Dec 2026 10:00:00 GMT"),
             QByteArray("Tue, 01 Dec 2026 10:00:00 GMT"));
    QCOMPARE(DlResume::validatorOf(" \"strong\" ", "x"), QByteArray("\"strong\""));
}

void TestResume::cutAndResume()
{
    const QByteArray v1 = "FWS\x0a" + QByteArray("\x00\x00\x03\x00", 4) + HttpServer::pattern(196600, 3);
    const QString part = DlResume::partialPath(m_target);
    const QString record = DlResume::recordPath(m_target);
    {
        // The line drops at 90 %: what arrived stays beside the target, not in its place.
        serve(v1, "\"v1\"", 180000, true);
        const Try cut = fetch();
        QVERIFY(!cut.completed);
        QCOMPARE(ReadFile(part), v1.left(180000));
        QVERIFY(QFile::exists(record));
        QVERIFY(!QFile::exists(m_target));
        // (The network layer may send the request once more after the drop.)
        QCOMPARE(m_seen.value(0), QString("|"));
    }
    {
        // The next try asks for the rest only and counts from what was kept.
        serve(v1, "\"v1\"", -1, true);
        const Try resumed = fetch();
        QVERIFY(resumed.completed);
        QCOMPARE(m_seen, QStringList{"bytes=180000-|\"v1\""});
        QCOMPARE(resumed.resumedFrom, 180000);
        QCOMPARE(resumed.received, v1.size() - 180000);
        QVERIFY(resumed.firstCount > 180000);
        QCOMPARE(ReadFile(m_target), v1);
        QCOMPARE(FilesUnder(m_dir.path()), QStringList{"1234.swf"});
        QVERIFY(QFile::remove(m_target));
    }
    {
        // The file changed on the server: the kept data goes, the new file comes whole.
        serve(v1, "\"v1\"", 100000, true);
        QVERIFY(!fetch().completed);
        const QByteArray v2 = "FWS\x0a" + QByteArray("\x00\x10\x03\x00", 4) + HttpServer::pattern(200000, 9);
        serve(v2, "\"v2\"", -1, true);
        const Try fresh = fetch();
        QVERIFY(fresh.completed);
        QCOMPARE(m_seen, QStringList{"bytes=100000-|\"v1\""});
        QCOMPARE(fresh.resumedFrom, 0);
        QCOMPARE(ReadFile(m_target), v2);
        QCOMPARE(FilesUnder(m_dir.path()), QStringList{"1234.swf"});
        QVERIFY(QFile::remove(m_target));
    }
    {
        // A server without ranges sends the whole file again; it replaces the kept part.
        serve(v1, "\"v1\"", 150000, false);
        QVERIFY(!fetch().completed);
        serve(v1, "\"v1\"", -1, false);
        const Try whole = fetch();
        QVERIFY(whole.completed);
        QCOMPARE(whole.received, v1.size());
        QCOMPARE(ReadFile(m_target), v1);
        QCOMPARE(FilesUnder(m_dir.path()), QStringList{"1234.swf"});
        QVERIFY(QFile::remove(m_target));
    }
    {
        // Kept data as long as the file (a kill before the rename): asked again whole,
        // with no range the server would refuse.
        serve(v1, "\"v1\"", -1, true);
        QVERIFY(WriteFile(part, v1));
        QVERIFY(WriteFile(record, DlResume::encodeRecord({m_http.url("/game.swf"), "\"v1\"", -1})));
        const Try again = fetch();
        QVERIFY(again.completed);
        const QStringList asked{"bytes=" + QString::number(v1.size()) + "-|\"v1\"", "|"};
        QCOMPARE(m_seen, asked);
        QCOMPARE(ReadFile(m_target), v1);
        QCOMPARE(FilesUnder(m_dir.path()), QStringList{"1234.swf"});
    }
}

QTEST_GUILESS_MAIN(TestResume)
#include "tst_resume.moc"
