// The demo portal answers every address the program uses, and its switches
// make it misbehave in the ways the tests of downloads and pane errors need.
#include "support/core/files.h"
#include "support/portalserver.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

struct Answer
{
    int status = 0;
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    bool finished = false;
    QByteArray header(const QByteArray &name) const { return headers.value(name.toLower()); }
    QHash<QByteArray, QByteArray> headers;
};

// Fetches without following redirects, with one request header if `header`
// is named; gives up after timeoutMs.
Answer fetch(const QString &url, int timeoutMs = 10000, const std::pair<QByteArray, QByteArray> &header = {})
{
    QNetworkAccessManager nam;
    QNetworkRequest request{QUrl(url)};
    if (!header.first.isEmpty())
        request.setRawHeader(header.first, header.second);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = nam.get(request);
    Answer a;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] { a.body += reply->readAll(); });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    a.finished = reply->isFinished();
    a.body += reply->readAll();
    a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    a.error = reply->error();
    for (const auto &pair : reply->rawHeaderPairs())
        a.headers.insert(pair.first.toLower(), pair.second);
    reply->abort();
    delete reply;
    return a;
}

// Decodes a name as the portal writes it ("%uXXXX" and "%XX").
QString unescapeName(const QString &text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        bool ok = false;
        if (text.at(i) == QLatin1Char('%') && text.mid(i + 1, 1) == QLatin1String("u")) {
            const ushort code = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 5;
                continue;
            }
        } else if (text.at(i) == QLatin1Char('%')) {
            const ushort code = text.mid(i + 1, 2).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 2;
                continue;
            }
        }
        out += text.at(i);
    }
    return out;
}

} // namespace

class tst_ui_PortalServer : public QObject
{
    Q_OBJECT

private:
    PortalServer m_portal;
    PortalServer m_faulty; // with the switches of faults_data()

private Q_SLOTS:
    void initTestCase();
    void contractAddresses_data();
    void contractAddresses();
    void gameLinksArePlayCommandsThatLeadToGames();
    void pathsCannotLeaveTheSite();
    void statisticsPageLogsEachIdOnItsOwnLine();
    void loginSetsAPersistentCookieThatIsGreeted();
    void faults_data();
    void faults();
    void slowAndStalledBodies();
    void staticFilesCarryValidators();
    void bigFileIsStreamedWithItsPattern();
    void noticeAndBadSwitches();
    void stopsPromptlyOnTerminate();
};

void tst_ui_PortalServer::initTestCase()
{
    QVERIFY2(m_portal.start(), qPrintable(m_portal.errorString()));
    QVERIFY2(m_faulty.start({"--fault", "lib/wenc.txt=404", "--fault", "/tj/tj.asp?id=X=500",
                             "--fault", "/games/102.swf=redirect:/games/101.swf", "--fault", "/games/103.swf=empty",
                             "--fault", "/games/104.swf=chunked"}),
             qPrintable(m_faulty.errorString()));
}

void tst_ui_PortalServer::contractAddresses_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("contains");

    QTest::newRow("portal page") << "" << 200 << "text/html" << QByteArray("<iframe name=\"tuzomain\"");
    QTest::newRow("yy") << "yy" << 200 << "text/html" << QByteArray("charset=\"utf-8\"");
    QTest::newRow("dan") << "dan" << 200 << "text/html" << QByteArray("charset=\"utf-8\"");
    QTest::newRow("player by address") << "flash.htm?{BASE}games/101.swf" << 200 << "text/html" << QByteArray("D27CDB6E-AE6D-11cf-96B8-444553540000");
    QTest::newRow("player by number") << "app/app.asp?id=102" << 200 << "text/html" << QByteArray("ruffle.js");
    QTest::newRow("game information") << "app/flash_info.asp?id=103" << 200 << "text/html" << QString("快乐打气球").toUtf8();
    QTest::newRow("information of no game") << "app/flash_info.asp?id=x" << 200 << "text/html" << QString("暂无").toUtf8();
    QTest::newRow("notice") << "lib/wenc.txt" << 200 << "text/plain" << QByteArray("0====0====1.0");
    QTest::newRow("statistics") << "tj/tj.asp?id=1" << 200 << "text/html" << QByteArray("<html");
    QTest::newRow("top promotion") << "js/ads/topad.html" << 200 << "text/html" << QByteArray("<body");
    QTest::newRow("floating promotion") << "js/ads/fudong.html" << 200 << "text/html" << QByteArray("target=\"_blank\"");
    QTest::newRow("exit promotion") << "js/ads/tui.html" << 200 << "text/html" << QByteArray("target=\"_blank\"");
    QTest::newRow("installer") << "update/setup.exe" << 200 << "application/octet-stream" << QByteArray("MZ");
    QTest::newRow("game file") << "games/101.swf" << 200 << "application/x-shockwave-flash" << QByteArray("FWS");
    QTest::newRow("runtime") << "ruffle/ruffle.js" << 200 << "application/javascript" << QByteArray("RufflePlayer");
    QTest::newRow("saving game") << "games/108.swf" << 200 << "application/x-shockwave-flash" << QByteArray("FWS");
    QTest::newRow("game's report") << "save/report?n=3" << 200 << "text/plain" << QByteArray();
    QTest::newRow("user page") << "user.asp" << 200 << "text/html" << QString("<div id=\"user\">未登录</div>").toUtf8();
    QTest::newRow("unknown page") << "nothing/here.html" << 404 << "text/html" << QByteArray("<html");
}

void tst_ui_PortalServer::contractAddresses()
{
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QString, type);
    QFETCH(QByteArray, contains);
    path.replace(QStringLiteral("{BASE}"), m_portal.baseUrl());
    const Answer a = fetch(m_portal.baseUrl() + path);
    QCOMPARE(a.status, status);
    QVERIFY2(a.header("Content-Type").startsWith(type.toLatin1()), a.header("Content-Type").constData());
    QVERIFY2(a.body.contains(contains), a.body.left(300).constData());
}

void tst_ui_PortalServer::gameLinksArePlayCommandsThatLeadToGames()
{
    const QString base = m_portal.baseUrl();
    const QString top = QString::fromUtf8(fetch(base).body);
    const QString grid = QString::fromUtf8(fetch(base + QStringLiteral("home.html")).body);
    QVERIFY(top.contains(QStringLiteral("src=\"%1home.html\"").arg(base)));

    static const QRegularExpression link(QStringLiteral("href=\"(tuzoflash|tuzojf)://([^\"]*)\""));
    QSet<QString> ids;
    int pointsGames = 0, byAddress = 0, byNumber = 0;
    bool latinEscape = false;
    for (const QString &page : {top, grid}) {
        for (auto it = link.globalMatch(page); it.hasNext();) {
            const auto m = it.next();
            const QStringList fields = m.captured(2).split(QStringLiteral("$$$"));
            QCOMPARE(fields.size(), 3);
            bool numeric = false;
            fields[0].toInt(&numeric);
            QVERIFY2(numeric, qPrintable(m.captured(0)));
            const QString name = unescapeName(fields[2]);
            QVERIFY2(!name.isEmpty() && !name.contains(QLatin1Char('%')) && name != fields[2], qPrintable(fields[2]));
            QVERIFY(!fields[2].contains(QRegularExpression(QStringLiteral("[^%A-Za-z0-9]"))));
            latinEscape = latinEscape || fields[2].contains(QStringLiteral("%20"));
            if (m.captured(1) == QLatin1String("tuzojf")) {
                ++pointsGames;
                continue;
            }
            ids.insert(fields[0]);
            // The address is either the game file on this portal or its number.
            Answer game;
            if (fields[1].startsWith(QLatin1String("http://"))) {
                QVERIFY2(fields[1].startsWith(base) && fields[1].endsWith(QLatin1String(".swf")), qPrintable(fields[1]));
                game = fetch(fields[1]);
                ++byAddress;
            } else {
                fields[1].toInt(&numeric);
                QVERIFY2(numeric, qPrintable(fields[1]));
                game = fetch(base + QStringLiteral("games/%1.swf").arg(fields[1]));
                ++byNumber;
            }
            QCOMPARE(game.status, 200);
            QVERIFY(game.body.startsWith("FWS"));
        }
    }
    QVERIFY2(ids.size() >= 6, qPrintable(QStringList(ids.values()).join(QLatin1Char(','))));
    QVERIFY(pointsGames >= 1);
    QVERIFY(byAddress > 0 && byNumber > 0);
    QVERIFY(latinEscape);
}

void tst_ui_PortalServer::pathsCannotLeaveTheSite()
{
    // Sent raw: a client library would tidy the dots away.
    for (const QByteArray &target : {QByteArray("/../../../../etc/passwd"), QByteArray("/ruffle/../../site/index.html"),
                                     QByteArray("/app/flash_info.asp?id=../../index")}) {
        QTcpSocket s;
        s.connectToHost(QStringLiteral("127.0.0.1"), quint16(m_portal.port()));
        QVERIFY(s.waitForConnected(3000));
        s.write("GET " + target + " HTTP/1.0\r\nHost: x\r\n\r\n");
        QByteArray reply;
        while (s.waitForReadyRead(3000))
            reply += s.readAll();
        QVERIFY2(!reply.contains("root:") && !reply.contains("tuzomain"), target.constData());
    }
}

void tst_ui_PortalServer::statisticsPageLogsEachIdOnItsOwnLine()
{
    QFile::remove(m_portal.logPath());
    const QString base = m_portal.baseUrl() + QStringLiteral("tj/tj.asp?id=");
    QCOMPARE(fetch(base + QStringLiteral("00-1A-2B-3C-4D-5E")).status, 200);
    QCOMPARE(fetch(base + QStringLiteral("FALLBACK12345")).status, 200);
    QCOMPARE(fetch(base + QStringLiteral("a%0Ab")).status, 200);
    QCOMPARE(m_portal.statsIds(), (QStringList{QStringLiteral("00-1A-2B-3C-4D-5E"), QStringLiteral("FALLBACK12345"),
                                              QStringLiteral("a b")}));
    QVERIFY(m_portal.requests().contains(QStringLiteral("/tj/tj.asp?id=FALLBACK12345")));
}

void tst_ui_PortalServer::loginSetsAPersistentCookieThatIsGreeted()
{
    const QString base = m_portal.baseUrl();
    const Answer login = fetch(base + QStringLiteral("login?name=Ann-1_b"));
    QCOMPARE(login.status, 200);
    // Max-Age makes it a persistent cookie, kept across restarts.
    QCOMPARE(login.header("Set-Cookie"), QByteArray("kavo_user=Ann-1_b; Max-Age=31536000; Path=/"));
    QCOMPARE(login.header("Cache-Control"), QByteArray("no-store"));
    QVERIFY(login.body.contains(QString("<div id=\"user\">欢迎你，Ann-1_b</div>").toUtf8()));

    // Later visits are greeted, on the user page and on the portal page after
    // its list of hot games; anything but a plain name is no login.
    const QByteArray greeted = QString("<div id=\"user\">欢迎你，Ann-1_b</div>").toUtf8();
    QVERIFY(fetch(base + QStringLiteral("user.asp"), 10000, {"Cookie", "a=1; kavo_user=Ann-1_b"}).body.contains(greeted));
    const Answer top = fetch(base, 10000, {"Cookie", "kavo_user=Ann-1_b"});
    QCOMPARE(top.header("Cache-Control"), QByteArray("no-store"));
    const int user = top.body.indexOf("id=\"user\"");
    QVERIFY(user > top.body.indexOf("class=\"hot\"") && top.body.indexOf("class=\"hot\"") > 0);
    QVERIFY(top.body.contains("欢迎你，Ann-1_b"));
    QVERIFY(fetch(base + QStringLiteral("user.asp"), 10000, {"Cookie", "kavo_user=<b>x</b>"}).body.contains(QString("未登录").toUtf8()));
    for (const char *bad : {"login", "login?name=", "login?name=a%0d%0aSet-Cookie:%20x", "login?name=%3Cb%3E",
                            "login?name=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"}) {
        const Answer a = fetch(base + QString::fromLatin1(bad));
        QCOMPARE(a.status, 400);
        QVERIFY2(a.header("Set-Cookie").isEmpty(), bad);
    }
}

void tst_ui_PortalServer::faults_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<int>("bodySize"); // -1: the game file's own size, -2: not checked
    QTest::addColumn<bool>("hasLength"); // checked with the body (text may come compressed)

    QTest::newRow("status") << "lib/wenc.txt" << 404 << QByteArray() << -2 << true;
    QTest::newRow("status for one query only") << "tj/tj.asp?id=X" << 500 << QByteArray() << -2 << true;
    QTest::newRow("same path, other query") << "tj/tj.asp?id=Y" << 200 << QByteArray() << -2 << true;
    QTest::newRow("redirect") << "games/102.swf" << 302 << QByteArray("/games/101.swf") << -2 << true;
    QTest::newRow("empty") << "games/103.swf" << 200 << QByteArray() << 0 << true;
    QTest::newRow("chunked") << "games/104.swf" << 200 << QByteArray() << -1 << false;
}

void tst_ui_PortalServer::faults()
{
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(QByteArray, location);
    QFETCH(int, bodySize);
    QFETCH(bool, hasLength);

    const Answer a = fetch(m_faulty.baseUrl() + path);
    QCOMPARE(a.status, status);
    QCOMPARE(a.header("Location"), location);
    if (bodySize == -1)
        QCOMPARE(a.body, ReadFile(PortalServer::gamesDir() + QLatin1Char('/') + path.section(QLatin1Char('/'), -1)));
    else if (bodySize >= 0)
        QCOMPARE(a.body.size(), bodySize);
    if (bodySize != -2)
        QCOMPARE(!a.header("Content-Length").isEmpty(), hasLength);
}

void tst_ui_PortalServer::slowAndStalledBodies()
{
    PortalServer portal;
    QVERIFY2(portal.start({"--fault", "/games/105.swf=slow:4000", "--fault", "/games/106.swf=stall:100"}),
             qPrintable(portal.errorString()));
    const QByteArray wheel = ReadFile(PortalServer::gamesDir() + QStringLiteral("/105.swf"));
    QVERIFY(wheel.size() > 1000);
    QElapsedTimer timer;
    timer.start();
    const Answer slow = fetch(portal.baseUrl() + QStringLiteral("games/105.swf"));
    QCOMPARE(slow.body, wheel);
    QVERIFY2(timer.elapsed() >= wheel.size() * 1000 / 4000 - 150, qPrintable(QString::number(timer.elapsed())));

    const Answer stalled = fetch(portal.baseUrl() + QStringLiteral("games/106.swf"), 1500);
    QVERIFY(!stalled.finished);
    QCOMPARE(stalled.status, 200);
    QCOMPARE(stalled.body.size(), 100);
    QVERIFY(stalled.header("Content-Length").toInt() > 100);

    // A stalled response does not hold up the stop.
    timer.restart();
    portal.stop();
    QVERIFY(timer.elapsed() < 3000);

    // A home line: every answer, a 304 too, waits its round trip, and the
    // body goes at the line's rate.
    PortalServer home;
    QVERIFY2(home.start({"--link", "4000,300"}), qPrintable(home.errorString()));
    timer.restart();
    const Answer first = fetch(home.baseUrl() + QStringLiteral("games/105.swf"));
    QCOMPARE(first.body, wheel);
    QVERIFY2(timer.elapsed() >= 300 + wheel.size() * 1000 / 4000 - 150, qPrintable(QString::number(timer.elapsed())));
    timer.restart();
    const Answer again = fetch(home.baseUrl() + QStringLiteral("games/105.swf"), 10000,
                               std::make_pair(QByteArray("If-None-Match"), first.header("ETag")));
    QCOMPARE(again.status, 304);
    QVERIFY2(timer.elapsed() >= 300, qPrintable(QString::number(timer.elapsed())));
}

void tst_ui_PortalServer::bigFileIsStreamedWithItsPattern()
{
    PortalServer portal;
    QVERIFY2(portal.start({"--big-file", "/big/test.swf=3"}), qPrintable(portal.errorString()));
    const Answer a = fetch(portal.baseUrl() + QStringLiteral("big/test.swf"), 30000);
    QCOMPARE(a.status, 200);
    QCOMPARE(a.header("Content-Length"), QByteArray("3145728"));
    QCOMPARE(a.body.size(), 3 * 1024 * 1024);
    QCOMPARE(a.body.left(8), QByteArray("FWS\x0a\x00\x00\x30\x00", 8));
    for (int i : {8, 250, 251, 65535, 1000003, 3 * 1024 * 1024 - 1})
        QCOMPARE(uchar(a.body.at(i)), uchar(i % 251));
}

void tst_ui_PortalServer::noticeAndBadSwitches()
{
    {
        PortalServer portal;
        QVERIFY(portal.start({"--notice", "1====1====2.0"}));
        QCOMPARE(fetch(portal.baseUrl() + QStringLiteral("lib/wenc.txt")).body, QByteArray("1====1====2.0"));
    }
    const QList<QStringList> bad = {{"--fault", "/x=bogus"}, {"--fault", "novalue"}, {"--port", "70000"},
                                    {"--big-file", "/a.swf=0"}, {"--unknown"}, {"--root"},
                                    {"--link", "0,40"}, {"--link", "2500000"}};
    for (const QStringList &args : bad) {
        QProcess p;
        p.start(PortalServer::binaryPath(), args);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY2(p.readAllStandardError().startsWith("kavo-portal: "), qPrintable(args.join(QLatin1Char(' '))));
    }
    QProcess help;
    help.start(PortalServer::binaryPath(), {"--help"});
    QVERIFY(help.waitForFinished(5000));
    QCOMPARE(help.exitCode(), 0);
    const QByteArray text = help.readAllStandardOutput();
    for (const char *word : {"--port", "--fault", "--big-file", "--notice", "--stats-log", "stall:", "chunked"})
        QVERIFY2(text.contains(word), word);
}

void tst_ui_PortalServer::stopsPromptlyOnTerminate()
{
    QProcess p;
    p.start(PortalServer::binaryPath(), {"--port", "0"});
    QVERIFY(p.waitForReadyRead(5000));
    QVERIFY(p.readLine().startsWith("listening "));
    p.terminate();
    QVERIFY(p.waitForFinished(3000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
}

// Static files are sent from the file with validators, so a client's cache
// keeps them; a changed file gets a new validator. Pages stay uncached.
void tst_ui_PortalServer::staticFilesCarryValidators()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QByteArray game(300 * 1024, '\0');
    for (int i = 0; i < game.size(); ++i)
        game[i] = char(i * 7 % 253);
    const QString gamePath = root.filePath(QStringLiteral("g.swf"));
    QVERIFY(WriteFile(gamePath, game));

    PortalServer portal;
    QVERIFY2(portal.start({"--root", root.path()}), qPrintable(portal.errorString()));
    const QString url = portal.baseUrl() + QStringLiteral("g.swf");
    const auto get = [&](const QByteArray &name, const QByteArray &value) { return fetch(url, 10000, {name, value}); };

    const Answer first = fetch(url);
    QCOMPARE(first.status, 200);
    QCOMPARE(first.body, game);
    const QByteArray tag = first.header("ETag");
    QVERIFY(tag.startsWith('"') && tag.endsWith('"'));
    QVERIFY(!first.header("Last-Modified").isEmpty());
    QCOMPARE(first.header("Cache-Control"), QByteArray("no-cache"));

    const Answer same = get("If-None-Match", tag);
    QVERIFY(same.finished);
    QCOMPARE(same.status, 304);
    QVERIFY(same.body.isEmpty());
    QCOMPARE(get("If-None-Match", "\"x\", W/" + tag).status, 304);
    QCOMPARE(get("If-Modified-Since", first.header("Last-Modified")).status, 304);
    QCOMPARE(get("If-None-Match", "\"other\"").body, game);
    const Answer part = get("Range", "bytes=1000-1009");
    QCOMPARE(part.status, 206);
    QCOMPARE(part.body, game.mid(1000, 10));

    // A new version of the file is a new tag, and the old one gets the body.
    QVERIFY(WriteFile(gamePath, game + "more"));
    const Answer changed = get("If-None-Match", tag);
    QCOMPARE(changed.status, 200);
    QCOMPARE(changed.body, game + "more");
    QVERIFY(changed.header("ETag") != tag);

    QCOMPARE(fetch(portal.baseUrl() + QStringLiteral("ruffle/ruffle.js")).header("Cache-Control"),
             QByteArray("public, max-age=3600"));
    QVERIFY(fetch(portal.baseUrl() + QStringLiteral("nothing.swf")).header("ETag").isEmpty());
}

QTEST_MAIN(tst_ui_PortalServer)
#include "tst_ui_portalserver.moc"
