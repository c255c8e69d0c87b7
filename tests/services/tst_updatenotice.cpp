// The portal's notice, the version test of the update offer, the floating
// promotion's place, and the notice read against a real HTTP server that
// answers, fails, trickles and stalls.
#include "common/textcodec.h"
#include "services/noticefetch.h"
#include "services/promotionplace.h"
#include "services/updatenotice.h"
#include "support/core/httpserver.h"

#include <httplib.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)

class TestUpdateNotice : public QObject
{
    Q_OBJECT

    HttpServer m_http;
    // How many stalled answers have sent their first bytes.
    std::atomic<int> m_stallsStarted{0};

    // Reads `path` and waits for the one answer.
    QString read(const QString &path, int timeoutMs, qint64 *tookMs = nullptr)
    {
        NoticeFetch fetch(QUrl(m_http.url(path)), timeoutMs);
        QSignalSpy finished(&fetch, &NoticeFetch::finished);
        fetch.start();
        if (!finished.wait(timeoutMs + 10000))
            return QStringLiteral("<no answer>");
        if (tookMs)
            *tookMs = fetch.elapsedMs();
        // Exactly one answer.
        QTest::qWait(0);
        return finished.count() == 1 ? finished.at(0).at(0).toString() : QStringLiteral("<%1 answers>").arg(finished.count());
    }

private Q_SLOTS:
    void initTestCase()
    {
        auto &s = m_http.server();
        s.Get("/notice", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("1====1====2.0\r\n", "text/plain");
        });
        s.Get("/missing", [](const httplib::Request &, httplib::Response &res) {
            res.status = 404;
            res.set_content("0====0====9.0", "text/plain");
        });
        s.Get("/gbk", [](const httplib::Request &, httplib::Response &res) {
            const QByteArray gbk = TextCodec::toAnsi(QStringLiteral("推荐====1====2.0"));
            res.set_content(gbk.constData(), size_t(gbk.size()), "text/plain");
        });
        s.Get("/huge", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string(size_t(NoticeFetch::MaxBytes) + 1, '='), "text/plain");
        });
        // Trickles: a byte every 50 ms.
        s.Get("/slow", [this](const httplib::Request &, httplib::Response &res) {
            const std::string body = "0====1====1.0";
            res.set_content_provider(body.size(), "text/plain",
                                     [this, body](size_t offset, size_t, httplib::DataSink &sink) {
                                         if (!m_http.nap(50))
                                             return false;
                                         return sink.write(body.data() + offset, 1);
                                     });
        });
        // Sends the start of the notice, then nothing until the server stops.
        s.Get("/stall", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content_provider(13, "text/plain", [this](size_t offset, size_t, httplib::DataSink &sink) {
                if (offset == 0) {
                    const bool sent = sink.write("1====", 5);
                    ++m_stallsStarted;
                    return sent;
                }
                while (m_http.nap(100)) {
                }
                return false;
            });
        });
        QVERIFY(m_http.start());
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("floating");
        QTest::addColumn<std::optional<QString>>("latest");
        const std::optional<QString> none;
        QTest::newRow("all three") << "1====1====1.0" << true << "1" << true << std::optional<QString>(QStringLiteral("1.0"));
        QTest::newRow("empty") << "" << false << "" << false << none;
        QTest::newRow("no separator") << "1 1 2.0" << false << "" << false << none;
        QTest::newRow("three equals signs") << "1===1===2.0" << false << "" << false << none;
        QTest::newRow("two parts") << "1====1" << true << "1" << true << none;
        QTest::newRow("empty third part") << "0====0====" << true << "0" << false << std::optional<QString>(QString());
        QTest::newRow("further parts ignored") << "0====0====2.0====x====y" << true << "0" << false
                                               << std::optional<QString>(QStringLiteral("2.0"));
        // Every CR LF pair goes, and the white space the version ends in (a
        // notice saved on Linux); a line break inside stays.
        QTest::newRow("crlf") << "0====0====\r\n2.0\r\n" << true << "0" << false << std::optional<QString>(QStringLiteral("2.0"));
        QTest::newRow("lone line feed") << "0====0====2.0\n" << true << "0" << false
                                        << std::optional<QString>(QStringLiteral("2.0"));
        QTest::newRow("blanks, tab, CR") << "0====0====2.0 \t\r" << true << "0" << false
                                         << std::optional<QString>(QStringLiteral("2.0"));
        QTest::newRow("line feed inside") << "0====0====2.0\n3" << true << "0" << false
                                          << std::optional<QString>(QStringLiteral("2.0\n3"));
        // Part 0 is taken as it stands: only an exact "1" asks for the window.
        QTest::newRow("flag with line break") << "1\r\n====0====1.0" << true << "1\r\n" << false
                                              << std::optional<QString>(QStringLiteral("1.0"));
        // Part 1 is compared as a number.
        QTest::newRow("one as 1.0") << "0====1.0====1.0" << true << "0" << true << std::optional<QString>(QStringLiteral("1.0"));
        QTest::newRow("one with blanks") << "0==== 1 ====1.0" << true << "0" << true << std::optional<QString>(QStringLiteral("1.0"));
        QTest::newRow("not a number") << "0====one====1.0" << true << "0" << false << std::optional<QString>(QStringLiteral("1.0"));
        QTest::newRow("number then text") << "0====1x====1.0" << true << "0" << false << std::optional<QString>(QStringLiteral("1.0"));
        QTest::newRow("two") << "0====2====1.0" << true << "0" << false << std::optional<QString>(QStringLiteral("1.0"));
        QTest::newRow("empty second part") << "1========1.0" << true << "1" << false << std::optional<QString>(QStringLiteral("1.0"));
    }

    void parse()
    {
        QFETCH(QString, text);
        const UpdateNotice notice = ParseUpdateNotice(text);
        QTEST(notice.usable, "usable");
        QTEST(notice.exitPromoFlag, "flag");
        QTEST(notice.floatingPromotion, "floating");
        QTEST(notice.latestVersion, "latest");
    }

    void offer_data()
    {
        QTest::addColumn<QString>("latest");
        QTest::addColumn<QString>("installed");
        QTest::addColumn<bool>("atStart");
        QTest::addColumn<bool>("onDemand");
        QTest::newRow("same") << "1.0" << "1.0" << false << false;
        QTest::newRow("newer") << "2.0" << "1.0" << true << true;
        // An inequality, not an ordering.
        QTest::newRow("older") << "0.9" << "1.0" << true << true;
        QTest::newRow("installed with spaces") << "1.0" << "  1.0 " << false << false;
        QTest::newRow("same number, other text") << "1.00" << "1.0" << true << true;
        QTest::newRow("case counts") << "1.0A" << "1.0a" << true << true;
        // Zero is no version at start; on demand only the text counts.
        QTest::newRow("zero") << "0" << "1.0" << false << true;
        QTest::newRow("zero point zero") << "0.0" << "1.0" << false << true;
        QTest::newRow("not a number") << "beta" << "1.0" << false << true;
        QTest::newRow("unknown") << "" << "1.0" << false << false;
        QTest::newRow("three fields") << "2.0.1" << "1.0" << true << true;
    }

    void offer()
    {
        QFETCH(QString, latest);
        QFETCH(QString, installed);
        QTEST(UpdateOfferDue(latest, installed), "atStart");
        QTEST(OnDemandOfferDue(latest, installed), "onDemand");
    }

    void versionNumberValue()
    {
        QCOMPARE(VersionNumberValue(QStringLiteral("2.0")), 2.0);
        QCOMPARE(VersionNumberValue(QStringLiteral(" 2.0.1")), 2.0);
        QCOMPARE(VersionNumberValue(QStringLiteral(".5")), 0.5);
        QCOMPARE(VersionNumberValue(QStringLiteral("v2")), 0.0);
        QCOMPARE(VersionNumberValue(QString()), 0.0);
    }

    // 268 x 200 pixels is 4020 x 3000 twips.
    void floatingPromotionPlace()
    {
        QCOMPARE(FloatingPromotionPlace(QRect(0, 0, 1024, 768), QSize(268, 200)), QPoint(750, 538));
        QCOMPARE(FloatingPromotionPlace(QRect(0, 0, 1280, 1024), QSize(268, 200)), QPoint(1006, 794));
        // A primary screen right of another one.
        QCOMPARE(FloatingPromotionPlace(QRect(1920, 0, 1024, 768), QSize(268, 200)), QPoint(2670, 538));
    }

    void readsTheNotice()
    {
        QCOMPARE(read(QStringLiteral("/notice"), 5000), QStringLiteral("1====1====2.0\r\n"));
        QCOMPARE(read(QStringLiteral("/gbk"), 5000), QStringLiteral("推荐====1====2.0"));
        // A trickle that ends in time is a good read.
        QCOMPARE(read(QStringLiteral("/slow"), 10000), QStringLiteral("0====1====1.0"));
    }

    // Failures read as an empty notice: an error page (whatever it holds),
    // a body too large to be a notice, no server at all.
    void failedReadsAreEmpty()
    {
        QCOMPARE(read(QStringLiteral("/missing"), 5000), QString());
        QCOMPARE(read(QStringLiteral("/huge"), 5000), QString());
        NoticeFetch closed(QUrl(QStringLiteral("http://127.0.0.1:9/lib/wenc.txt")), 5000);
        QSignalSpy finished(&closed, &NoticeFetch::finished);
        closed.start();
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(0).at(0).toString(), QString());
    }

    // A stalled read ends at the time-out as a failed one, the bytes that came
    // unused; a trickle that outlasts the time-out ends the same way.
    void timeOut()
    {
        qint64 took = 0;
        QCOMPARE(read(QStringLiteral("/stall"), 1500, &took), QString());
        QVERIFY2(took >= 1500 && took < 6000, qPrintable(QString::number(took)));
        QCOMPARE(read(QStringLiteral("/slow"), 300, &took), QString());
        QVERIFY2(took >= 300 && took < 5000, qPrintable(QString::number(took)));
    }

    // start() returns at once, and an abandoned read says nothing.
    void neverBlocksAndCanBeAbandoned()
    {
        NoticeFetch fetch(QUrl(m_http.url(QStringLiteral("/stall"))), 60000);
        QSignalSpy finished(&fetch, &NoticeFetch::finished);
        const int stallsBefore = m_stallsStarted;
        QElapsedTimer clock;
        clock.start();
        fetch.start();
        QVERIFY(clock.elapsed() < 1000);
        QVERIFY(fetch.isRunning());
        // Abandoned mid-answer: the server has sent the first bytes.
        QTRY_VERIFY_WITH_TIMEOUT(m_stallsStarted > stallsBefore, 10000);
        fetch.abort();
        QVERIFY(!fetch.isRunning());
        // Whatever the abort queued has run: no answer came of it.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(finished.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestUpdateNotice)
#include "tst_updatenotice.moc"
