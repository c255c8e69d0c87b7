#include "download/gui/bkdlcontrol.h"
#include "support/core/files.h"
#include "support/core/httpserver.h"
#include "support/dialoganswers.h"
#include "support/eventwait.h"

#include <httplib.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace
{
// The control's events as text lines, in the order they came.
struct EventLog {
    QStringList lines;
    QList<float> fractions;

    void attach(bkDLControl &c)
    {
        QObject::connect(&c, &bkDLControl::DLProgress, &c, [this](float f, qint64 r, qint64 s) {
            fractions << f;
            lines << QString("DLProgress %1 %2").arg(r).arg(s);
        });
        QObject::connect(&c, &bkDLControl::DLCanceled, &c, [this] { lines << "DLCanceled"; });
        QObject::connect(&c, &bkDLControl::DLError, &c, [this](int n, const QString &d) {
            lines << QString("DLError %1 %2").arg(n).arg(d);
        });
        QObject::connect(&c, &bkDLControl::DLComplete, &c,
                         [this](qint64 b) { lines << QString("DLComplete %1").arg(b); });
        QObject::connect(&c, &bkDLControl::DLConnected, &c,
                         [this](const QString &a) { lines << "DLConnected " + a; });
        QObject::connect(&c, &bkDLControl::DLRedirect, &c,
                         [this](const QString &u) { lines << "DLRedirect " + u; });
        QObject::connect(&c, &bkDLControl::DLCacheFile, &c, [this](const QString &) {
            lines << "DLCacheFile";
        });
        QObject::connect(&c, &bkDLControl::DLMIMEType, &c,
                         [this](const QString &m) { lines << "DLMIMEType " + m; });
        QObject::connect(&c, &bkDLControl::DLFileSize, &c,
                         [this](qint64 s) { lines << QString("DLFileSize %1").arg(s); });
        QObject::connect(&c, &bkDLControl::DLBeginDownload, &c,
                         [this] { lines << "DLBeginDownload"; });
    }
    // The log without the repeated progress lines.
    QStringList outline() const
    {
        QStringList result;
        for (const QString &line : lines)
            if (!line.startsWith("DLProgress"))
                result << line;
        return result;
    }
    bool ended() const
    {
        return !lines.isEmpty()
            && (lines.last().startsWith("DLComplete") || lines.last() == "DLCanceled");
    }
};

}

class TestBkDLControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void defaultsAndPathRules();
    void completedDownload();
    void unsizedDownload();
    void redirects();
    void failures_data();
    void failures();
    void cancel();
    void refusals();
    void waitForDownload();
    void propertyBag();
    void mouseEvents();

private:
    // A control aimed at `path` on the test server, saving into the work folder.
    void aim(bkDLControl &c, const QString &path, const QString &name = "1234.swf");

    HttpServer m_http;
    std::atomic<int> m_gameHits{0};
    QString m_deadUrl; // nothing listens there
    std::unique_ptr<QTemporaryDir> m_dir;
    const QByteArray m_game = HttpServer::pattern(200000, 7);
    const QByteArray m_slow = HttpServer::pattern(1 << 20, 8);
};

void TestBkDLControl::initTestCase()
{
    httplib::Server &s = m_http.server();
    s.Get("/game.swf", [this](const httplib::Request &, httplib::Response &res) {
        ++m_gameHits;
        res.set_content(m_game.constData(), size_t(m_game.size()), "application/x-shockwave-flash");
    });
    s.Get("/unsized.swf", [this](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider("application/x-shockwave-flash",
            [this](size_t offset, httplib::DataSink &sink) {
                if (offset >= size_t(m_game.size())) {
                    sink.done();
                    return true;
                }
                return sink.write(m_game.constData() + offset,
                                  std::min<size_t>(8192, m_game.size() - offset));
            });
    });
    s.Get("/moved.swf", [](const httplib::Request &, httplib::Response &res) {
        res.set_redirect("/cdn/real.swf?v=2");
    });
    s.Get("/cdn/real.swf", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content(m_game.constData(), size_t(m_game.size()), "application/x-shockwave-flash");
    });
    s.Get("/empty.swf", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("", "application/x-shockwave-flash");
    });
    s.Get("/missing.swf", [](const httplib::Request &, httplib::Response &res) {
        res.status = 404;
        res.set_content("not found", "text/plain");
    });
    s.Get("/stall.swf", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(5000, "application/x-shockwave-flash",
            [this](size_t offset, size_t, httplib::DataSink &sink) {
                if (offset == 0)
                    return sink.write(m_game.constData(), 1000);
                m_http.nap(20000);
                return false;
            });
    });
    s.Get("/truncated.swf", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(10000, "application/x-shockwave-flash",
            [this](size_t offset, size_t, httplib::DataSink &sink) {
                return offset == 0 && sink.write(m_game.constData(), 5000); // then closes
            });
    });
    s.Get("/slow.swf", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(size_t(m_slow.size()), "application/x-shockwave-flash",
            [this](size_t offset, size_t length, httplib::DataSink &sink) {
                if (!m_http.nap(10))
                    return false;
                return sink.write(m_slow.constData() + offset, std::min<size_t>(length, 32768));
            });
    });
    QVERIFY(m_http.start());
    m_deadUrl = QString("http://127.0.0.1:%1/x.swf").arg(HttpServer::closedPort());
}

void TestBkDLControl::cleanupTestCase()
{
    m_http.stop();
}

void TestBkDLControl::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestBkDLControl::aim(bkDLControl &c, const QString &path, const QString &name)
{
    c.setFileURL(path.startsWith("http") ? path : m_http.url(path));
    c.setSaveFilePath(m_dir->filePath(name));
}

void TestBkDLControl::defaultsAndPathRules()
{
    bkDLControl c;
    QVERIFY(c.FailOnRedirect());
    QVERIFY(!c.RenameOnRedirect()); // reads false while redirects fail
    QVERIFY(c.ShowProgress());
    QCOMPARE(c.BorderStyle(), qint16(1));
    QCOMPARE(c.BackColor(), c.palette().color(QPalette::Button));
    QCOMPARE(c.ForeColor(), c.palette().color(QPalette::ButtonText));

    QStringList changed;
    connect(&c, &bkDLControl::PropertyChanged, &c, [&changed](const QString &n) { changed << n; });

    // The name needs both the URL and the folder.
    c.setSaveFilePath("/data/app/flash/1234.swf");
    QCOMPARE(c.SaveFilePath(), QString("/data/app/flash/"));
    QCOMPARE(c.SaveFileName(), QString());
    c.setFileURL("http://host/1234.swf");
    QCOMPARE(c.SaveFileName(), QString("/data/app/flash/1234.swf"));
    c.setSaveFilePath("C:\\kavo\\flash\\77.swf");
    QCOMPARE(c.SaveFilePath(), QString("C:\\kavo\\flash\\"));
    QCOMPARE(c.SaveFileName(), QString("C:\\kavo\\flash\\77.swf"));
    c.setSaveFilePath("/tmp/dl/");
    QCOMPARE(c.SaveFilePath(), QString("/tmp/dl/"));
    QCOMPARE(c.SaveFileName(), QString("/tmp/dl/"));
    c.setSaveFilePath("game.swf");
    QCOMPARE(c.SaveFilePath(), QString());
    QCOMPARE(c.SaveFileName(), QString());
    QVERIFY(!c.BeginDownload());
    c.setFileURL("");
    QCOMPARE(c.SaveFileName(), QString());

    c.setRenameOnRedirect(true);
    QVERIFY(!c.RenameOnRedirect());
    c.setFailOnRedirect(false);
    QVERIFY(c.RenameOnRedirect());
    c.setRenameOnRedirect(false);
    QVERIFY(!c.RenameOnRedirect());
    QCOMPARE(changed, (QStringList{"SaveFilePath", "FileURL", "SaveFilePath", "SaveFilePath",
                                   "SaveFilePath", "FileURL", "RenameOnRedirect",
                                   "FailOnRedirect", "RenameOnRedirect"}));

    // Idle and cancel when idle: nothing happens.
    EventLog log;
    log.attach(c);
    c.CancelDownload();
    QVERIFY(log.lines.isEmpty());
}

void TestBkDLControl::completedDownload()
{
    bkDLControl c;
    c.resize(200, 20);
    c.setBorderStyle(0);
    c.setForeColor(Qt::red);
    c.setBackColor(Qt::white);
    EventLog log;
    log.attach(c);
    QFile old(m_dir->filePath("1234.swf"));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(300000, 'x')) > 0);
    old.close();
    const int hits = m_gameHits;
    aim(c, "/game.swf");
    QVERIFY(c.BeginDownload());
    QVERIFY(c.isDownloading());
    QTRY_VERIFY(log.ended());

    const QString size = QString::number(m_game.size());
    QCOMPARE(log.outline(),
             (QStringList{"DLConnected 127.0.0.1", "DLMIMEType application/x-shockwave-flash",
                          "DLFileSize " + size, "DLBeginDownload", "DLCacheFile",
                          "DLComplete " + size}));
    QCOMPARE(log.lines[log.lines.size() - 2], "DLProgress " + size + " " + size);
    QCOMPARE(log.fractions.last(), 1.0f);
    QVERIFY(!c.isDownloading());
    QCOMPARE(c.BytesRead(), qint64(m_game.size()));
    QCOMPARE(c.FileSize(), qint64(m_game.size()));
    QCOMPARE(c.MIMEType(), QString("application/x-shockwave-flash"));
    QCOMPARE(c.ConnectionAddress(), QString("127.0.0.1"));
    // The data went through a temporary file in the target folder.
    QCOMPARE(QFileInfo(c.CacheFile()).absolutePath(), QDir(m_dir->path()).absolutePath());

    QCOMPARE(EntriesUnder(m_dir->path()), QStringList{"1234.swf"});
    QCOMPARE(ReadFile(m_dir->filePath("1234.swf")), m_game);

    // Fetched again from the server, not from a cache.
    QVERIFY(c.BeginDownload());
    QTRY_VERIFY(!c.isDownloading());
    QCOMPARE(m_gameHits - hits, 2);

    // The finished bar fills the surface in ForeColor; without it, BackColor.
    QImage shot = c.grab().toImage();
    QCOMPARE(QColor(shot.pixel(5, 10)), QColor(Qt::red));
    QCOMPARE(QColor(shot.pixel(195, 10)), QColor(Qt::red));
    c.setShowProgress(false);
    shot = c.grab().toImage();
    QCOMPARE(QColor(shot.pixel(100, 10)), QColor(Qt::white));
}

void TestBkDLControl::unsizedDownload()
{
    bkDLControl c;
    c.resize(100, 10);
    c.setForeColor(Qt::red);
    EventLog log;
    log.attach(c);
    aim(c, "/unsized.swf");
    QVERIFY(c.BeginDownload());
    QTRY_VERIFY(log.ended());
    QCOMPARE(log.lines.last(), QString("DLComplete %1").arg(m_game.size()));
    QVERIFY(log.lines.contains("DLFileSize 0"));
    QVERIFY(log.fractions.size() >= 2);
    for (float f : log.fractions)
        QCOMPARE(f, 0.0f);
    QCOMPARE(ReadFile(m_dir->filePath("1234.swf")), m_game);
    // No size known: no bar.
    const QImage shot = c.grab().toImage();
    QVERIFY(QColor(shot.pixel(50, 5)) != QColor(Qt::red));
}

void TestBkDLControl::redirects()
{
    const QString target = m_http.url("/cdn/real.swf?v=2");
    {
        // By default a redirect is a failure and nothing is saved.
        bkDLControl c;
        EventLog log;
        log.attach(c);
        aim(c, "/moved.swf");
        QVERIFY(c.BeginDownload());
        QTRY_VERIFY(log.ended());
        QCOMPARE(log.outline().mid(1),
                 (QStringList{"DLError 2 Redirected to " + target, "DLComplete 0"}));
        QCOMPARE(c.RedirectFile(), target);
        // The ended transfer's last queued signals and deletions have run.
        QVERIFY(KavoTest::Settle());
        QVERIFY(EntriesUnder(m_dir->path()).isEmpty());
    }
    {
        // Allowed and renaming: saved under the target's last segment.
        bkDLControl c;
        c.setFailOnRedirect(false);
        EventLog log;
        log.attach(c);
        aim(c, "/moved.swf");
        QVERIFY(c.BeginDownload());
        QTRY_VERIFY(log.ended());
        QVERIFY(log.lines.contains("DLRedirect " + target));
        QCOMPARE(log.lines.last(), QString("DLComplete %1").arg(m_game.size()));
        QCOMPARE(c.SaveFileName(), m_dir->filePath("real.swf?v=2"));
        QCOMPARE(EntriesUnder(m_dir->path()), QStringList{"real.swf?v=2"});
        QCOMPARE(ReadFile(c.SaveFileName()), m_game);
    }
    {
        // Allowed without renaming: saved under the asked name.
        QTemporaryDir dir;
        bkDLControl c;
        c.setFailOnRedirect(false);
        c.setRenameOnRedirect(false);
        EventLog log;
        log.attach(c);
        c.setFileURL(m_http.url("/moved.swf"));
        c.setSaveFilePath(dir.filePath("55.swf"));
        QVERIFY(c.BeginDownload());
        QTRY_VERIFY(log.ended());
        QCOMPARE(EntriesUnder(dir.path()), QStringList{"55.swf"});
    }
}

void TestBkDLControl::failures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("error");

    QTest::newRow("zero bytes") << "/empty.swf" << "1234.swf" << "DLError 3 Zero bytes retrieved";
    QTest::newRow("404") << "/missing.swf" << "1234.swf" << "DLError 99 Server replied: 404";
    QTest::newRow("stall") << "/stall.swf" << "1234.swf" << "DLError 99 Transfer stalled";
    QTest::newRow("closed half way") << "/truncated.swf" << "1234.swf" << "DLError 99 ";
    QTest::newRow("nothing listening") << "dead" << "1234.swf" << "DLError 99 ";
    QTest::newRow("missing folder") << "/game.swf" << "no/such/1234.swf" << "DLError 4 ";
    QTest::newRow("target is a folder") << "/game.swf" << "" << "DLError 4 ";
}

void TestBkDLControl::failures()
{
    QFETCH(QString, path);
    QFETCH(QString, target);
    QFETCH(QString, error);
    bkDLControl c;
    c.setIdleTimeout(500);
    EventLog log;
    log.attach(c);
    aim(c, path == "dead" ? m_deadUrl : path, target);
    const bool started = c.BeginDownload();
    // A target folder that cannot take the file is refused at once.
    QCOMPARE(started, !target.contains("no/such"));
    QTRY_VERIFY_WITH_TIMEOUT(log.ended(), 5000);
    QCOMPARE(log.lines.last(), QString("DLComplete 0"));
    const QString reported = log.lines[log.lines.size() - 2];
    QVERIFY2(reported.startsWith(error), qPrintable(reported));
    if (error.startsWith("DLError 4"))
        QVERIFY2(reported.endsWith(" [" + c.SaveFileName() + "]"), qPrintable(reported));
    QCOMPARE(log.lines.count("DLComplete 0"), 1);
    QVERIFY(!c.isDownloading());
    QCOMPARE(c.progress(), 0.0f);
    QVERIFY2(EntriesUnder(m_dir->path()).isEmpty(), qPrintable(EntriesUnder(m_dir->path()).join(' ')));

    // A new download is accepted afterwards.
    aim(c, "/game.swf");
    QVERIFY(c.BeginDownload());
    QTRY_VERIFY(!c.isDownloading());
}

void TestBkDLControl::cancel()
{
    bkDLControl c;
    EventLog log;
    log.attach(c);
    aim(c, "/slow.swf");
    QVERIFY(c.BeginDownload());
    QTRY_VERIFY(log.lines.join('\n').contains("DLProgress"));
    c.CancelDownload();
    QCOMPARE(log.lines.last(), QString("DLCanceled"));
    QVERIFY(!c.isDownloading());
    QCOMPARE(c.progress(), 0.0f);
    QVERIFY(EntriesUnder(m_dir->path()).isEmpty());
    const int count = log.lines.size();
    QVERIFY(KavoTest::Settle());
    QCOMPARE(log.lines.size(), count); // no DLComplete after a cancel
    c.CancelDownload();
    QCOMPARE(log.lines.size(), count);

    // Destroying a downloading control ends it quietly.
    {
        bkDLControl doomed;
        EventLog doomedLog;
        doomedLog.attach(doomed);
        aim(doomed, "/slow.swf", "9.swf");
        QVERIFY(doomed.BeginDownload());
        QTRY_VERIFY(doomedLog.lines.join('\n').contains("DLProgress"));
        // A later transfer from the same server has made progress: a late
        // word of the cancelled one would have come by now.
        QCOMPARE(log.lines.size(), count);
    }
    QVERIFY(KavoTest::Settle());
    QVERIFY(EntriesUnder(m_dir->path()).isEmpty());
}

void TestBkDLControl::refusals()
{
    bkDLControl c;
    EventLog log;
    log.attach(c);
    QVERIFY(!c.BeginDownload()); // nothing set
    c.setFileURL(m_http.url("/slow.swf"));
    QVERIFY(!c.BeginDownload()); // no folder
    QVERIFY(log.lines.isEmpty());

    aim(c, "/slow.swf");
    QVERIFY(c.BeginDownload());
    const int before = log.lines.size();
    QVERIFY(!c.BeginDownload());
    QVERIFY(!c.BeginDownload(true));
    QCOMPARE(log.lines.size(), before);
    c.CancelDownload();

    // An address that cannot be fetched: error 1, then the message box.
    for (const QString &url : {QString("ftp://127.0.0.1/a.swf"), QString("no address")}) {
        log.lines.clear();
        c.setFileURL(url);
        MessageAnswer box(QMessageBox::Ok);
        QVERIFY(!c.BeginDownload());
        QCOMPARE(log.lines.size(), 2);
        QVERIFY(log.lines[0].startsWith("DLError 1 "));
        QCOMPARE(log.lines[1], QString("DLComplete 0"));
        QCOMPARE(box.title, QString("bkDLControl Internal Error: 1"));
        QVERIFY2(box.text.startsWith("1Error: \n"), qPrintable(box.text));
        QVERIFY(box.text.endsWith(log.lines[0].mid(10)));
    }

    // During the DLComplete of a saved file a new download is still refused.
    aim(c, "/game.swf");
    bool refused = false;
    connect(&c, &bkDLControl::DLComplete, &c, [&](qint64 bytes) {
        if (bytes > 0)
            refused = !c.BeginDownload();
    });
    QVERIFY(c.BeginDownload());
    QTRY_VERIFY(!c.isDownloading());
    QVERIFY(refused);
}

void TestBkDLControl::waitForDownload()
{
    bkDLControl c;
    EventLog log;
    log.attach(c);
    aim(c, "/slow.swf");
    // Other events keep running while the call waits.
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(20);
    QVERIFY(c.BeginDownload(true));
    QVERIFY(ticks > 3);
    QCOMPARE(log.lines.last(), QString("DLComplete %1").arg(m_slow.size()));
    QCOMPARE(ReadFile(m_dir->filePath("1234.swf")), m_slow);

    aim(c, "/missing.swf", "2.swf");
    QVERIFY(!c.BeginDownload(true));
    QCOMPARE(log.lines.last(), QString("DLComplete 0"));

    // Cancelled from an event handler while waiting.
    aim(c, "/slow.swf", "3.swf");
    connect(&c, &bkDLControl::DLProgress, &c, [&c] { c.CancelDownload(); });
    QVERIFY(!c.BeginDownload(true));
    QCOMPARE(log.lines.last(), QString("DLCanceled"));
    QVERIFY(!QFile::exists(m_dir->filePath("3.swf")));
}

void TestBkDLControl::propertyBag()
{
    QVariantMap empty;
    bkDLControl plain;
    plain.WriteProperties(empty);
    QVERIFY(empty.isEmpty()); // defaults are not stored

    QWidget container;
    QFont containerFont("Sans", 13);
    container.setFont(containerFont);
    bkDLControl c(&container);
    c.setBackColor(QColor(1, 2, 3));
    c.setForeColor(QColor(200, 100, 50));
    c.setEnabled(false);
    QFont font("Serif", 21);
    c.setFont(font);
    c.setBorderStyle(0);
    c.setFileURL("http://h/1.swf");
    c.setSaveFilePath("/x/y/1.swf");
    c.setFailOnRedirect(false);
    c.setRenameOnRedirect(false);
    c.setShowProgress(false);
    QVariantMap bag;
    c.WriteProperties(bag);
    QCOMPARE(bag.size(), 10);
    QCOMPARE(QSet<QString>(bag.keyBegin(), bag.keyEnd()),
             (QSet<QString>{"BackColor", "ForeColor", "Enabled", "Font", "BorderStyle", "FileURL",
                            "SaveFilePath", "FailOnRedirect", "RenameOnRedirect", "ShowProgress"}));

    bkDLControl loaded(&container);
    loaded.ReadProperties(bag);
    QCOMPARE(loaded.BackColor(), QColor(1, 2, 3));
    QCOMPARE(loaded.ForeColor(), QColor(200, 100, 50));
    QVERIFY(!loaded.isEnabled());
    QCOMPARE(loaded.font().pointSize(), 21);
    QCOMPARE(loaded.BorderStyle(), qint16(0));
    QCOMPARE(loaded.FileURL(), QString("http://h/1.swf"));
    QCOMPARE(loaded.SaveFilePath(), QString("/x/y/"));
    QCOMPARE(loaded.SaveFileName(), QString()); // not split again on load
    QVERIFY(!loaded.FailOnRedirect());
    QVERIFY(!loaded.RenameOnRedirect());
    QVERIFY(!loaded.ShowProgress());
    QVariantMap again;
    loaded.WriteProperties(again);
    QCOMPARE(again, bag);

    // Loading defaults (or unusable values) brings the defaults back.
    QVariantMap junk{{"BackColor", QVariant::fromValue(QSize(1, 1))}, {"Enabled", QVariant()},
                     {"BorderStyle", "wide"}, {"Font", 42}, {"ShowProgress", QVariantList{}}};
    loaded.ReadProperties(junk);
    QCOMPARE(loaded.BackColor(), loaded.palette().color(QPalette::Button));
    QVERIFY(loaded.isEnabled());
    QCOMPARE(loaded.BorderStyle(), qint16(1));
    QCOMPARE(loaded.font().pointSize(), 13); // the container's again
    QVERIFY(loaded.ShowProgress());
    QVERIFY(loaded.FailOnRedirect());
    QCOMPARE(loaded.FileURL(), QString());
}

void TestBkDLControl::mouseEvents()
{
    bkDLControl c;
    c.resize(50, 20);
    QStringList seen;
    connect(&c, &bkDLControl::MouseDown, &c, [&](int b, int s, float x, float y) {
        seen << QString("down %1 %2 %3 %4").arg(b).arg(s).arg(x).arg(y);
    });
    connect(&c, &bkDLControl::MouseUp, &c, [&](int b, int s) {
        seen << QString("up %1 %2").arg(b).arg(s);
    });
    connect(&c, &bkDLControl::Click, &c, [&] { seen << "click"; });
    connect(&c, &bkDLControl::DblClick, &c, [&] { seen << "dblclick"; });
    QTest::mouseClick(&c, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 5));
    QTest::mouseClick(&c, Qt::RightButton, Qt::ControlModifier, QPoint(3, 4));
    QTest::mouseDClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    QCOMPARE(seen.mid(0, 5),
             (QStringList{"down 1 1 10 5", "up 1 1", "click", "down 2 2 3 4", "up 2 2"}));
    QVERIFY(seen.contains("dblclick"));
}

QTEST_MAIN(TestBkDLControl)
#include "tst_ui_bkdlcontrol.moc"
