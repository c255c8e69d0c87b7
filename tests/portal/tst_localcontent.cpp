// The door through which panes read the program's local files: exactly the
// installed files of app, the list pages and the downloaded games, nothing
// else, however the address is written.
#include "portal/localcontent.h"
#include "support/core/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestLocalContent : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    AppPaths m_paths;
    QString m_secret;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_paths = AppPaths(m_dir.filePath(QStringLiteral("游戏 盒")));
        m_secret = m_dir.filePath(QStringLiteral("secret.txt"));
        for (const char *name : {"config.ini", "app/flash.htm", "app/i.gif", "app/n.htm", "app/c.htm", "app/d.htm",
                                 "app/date_n.dat", "app/ruffle/ruffle.js", "app/ruffle/core.wasm",
                                 "app/ruffle/.hidden", "app/ruffle/sub/a.js", "app/fonts/sans.otf", "app/fonts/sans.ttf",
                                 "app/fonts/sub/a.otf", "flash/104.swf", "flash/abc.swf",
                                 "flash/sub/1.swf", "flash/.dl-1.part"})
            QVERIFY(WriteFile(m_paths.appDir() + QLatin1Char('/') + QLatin1String(name), "x"));
        QVERIFY(WriteFile(m_secret, "x"));
        // Links that lead out of their folder, and one that stays inside.
        QVERIFY(QFile::link(m_secret, m_paths.flashFile(QStringLiteral("12"))));
        QVERIFY(QFile::link(m_secret, m_paths.dataFile(QStringLiteral("ruffle/evil.js"))));
        QVERIFY(QFile::link(m_paths.configPath(), m_paths.dataFile(QStringLiteral("c.htm.lnk"))));
        QVERIFY(QFile::link(m_paths.flashFile(QStringLiteral("104")), m_paths.flashFile(QStringLiteral("105"))));
        QVERIFY(QDir().mkpath(m_paths.flashDir() + QStringLiteral("/7.swf")));
    }

    void servesTheThreeSets_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("type");
        QTest::newRow("local player") << "/app/flash.htm" << "app/flash.htm" << QByteArray("text/html");
        QTest::newRow("delete image") << "/app/i.gif" << "app/i.gif" << QByteArray("image/gif");
        QTest::newRow("runtime") << "/app/ruffle/ruffle.js" << "app/ruffle/ruffle.js" << QByteArray("text/javascript");
        QTest::newRow("runtime module") << "/app/ruffle/core.wasm" << "app/ruffle/core.wasm" << QByteArray("application/wasm");
        QTest::newRow("runtime sub-folder") << "/app/ruffle/sub/a.js" << "app/ruffle/sub/a.js" << QByteArray("text/javascript");
        QTest::newRow("game font") << "/app/fonts/sans.otf" << "app/fonts/sans.otf" << QByteArray("font/otf");
        for (const char *page : {"n", "c", "d"})
            QTest::newRow(page) << QStringLiteral("/app/%1.htm").arg(QLatin1String(page))
                                << QStringLiteral("app/%1.htm").arg(QLatin1String(page)) << QByteArray("text/html");
        QTest::newRow("game") << "/flash/104.swf" << "flash/104.swf" << QByteArray("application/x-shockwave-flash");
        QTest::newRow("link inside flash") << "/flash/105.swf" << "flash/104.swf"
                                           << QByteArray("application/x-shockwave-flash");
    }

    void servesTheThreeSets()
    {
        QFETCH(QString, path);
        QFETCH(QString, file);
        QFETCH(QByteArray, type);
        const auto served = LocalContent::Resolve(m_paths, path);
        QVERIFY(served);
        QCOMPARE(served->path, QFileInfo(m_paths.appDir() + QLatin1Char('/') + file).canonicalFilePath());
        QCOMPARE(served->mimeType, type);
    }

    void refusesEverythingElse_data()
    {
        QTest::addColumn<QString>("path");
        for (const char *path :
             {"", "/", "app/flash.htm", "/config.ini", "/app/date_n.dat", "/app/", "/app/ruffle", "/app/ruffle/",
              "/app/../config.ini", "/app/ruffle/../../config.ini", "/app/%2e%2e/config.ini", "/app/%2E%2E/config.ini",
              "/app/./n.htm", "//app/n.htm", "/app//n.htm", "/app\\n.htm", "/etc/passwd", "//etc/passwd",
              "/app/ruffle/.hidden", "/app/ruffle/evil.js", "/app/c.htm.lnk", "/app/N.htm", "/app/x.htm",
              "/flash/12.swf", "/flash/abc.swf", "/flash/sub/1.swf", "/flash/.dl-1.part", "/flash/104.SWF",
              "/flash/104.swf/", "/flash/-1.swf", "/flash/1e3.swf", "/flash/.swf", "/flash/7.swf", "/flash/999.swf",
              "/flash/104.swf\x01", "/flash/104", "/app/flash.htm%00.gif", "/app/fonts/sans.ttf",
              "/app/fonts/sub/a.otf", "/app/fonts/", "/app/fonts/../n.htm"})
            QTest::newRow(path) << QString::fromLatin1(path);
        QTest::newRow("absolute secret") << m_secret;
    }

    void refusesEverythingElse()
    {
        QFETCH(QString, path);
        const auto served = LocalContent::Resolve(m_paths, path);
        QVERIFY2(!served, qPrintable(served ? served->path : QString()));
    }

    // The door answers the program's own navigations (no initiator) and its
    // own pages, and nobody else, for a file it would otherwise send.
    void answersOnlyTheProgramAndItsPages()
    {
        const QUrl list(QStringLiteral("kavo://app/app/n.htm"));
        const auto answered = [&](const char *initiator, const QUrl &url = QUrl(QStringLiteral("kavo://app/app/n.htm")),
                                  const QByteArray &method = "GET") {
            return LocalContent::Answer(m_paths, {method, url, QUrl(QString::fromLatin1(initiator))}).has_value();
        };
        QVERIFY(answered(""));
        QVERIFY(answered("kavo://app"));
        QVERIFY(answered("kavo://app/"));
        for (const char *web : {"http://127.0.0.1:8740", "https://example.com", "null", "file://", "kavo://app:1",
                                "kavo://evil", "KAVO://APP.evil", "kavo://user@app", "kavo://app/?x", "data:,x",
                                "about:blank", "blob:kavo://app/1"})
            QVERIFY2(!answered(web), web);
        // Only GET, only the door's host, only what the door serves.
        QVERIFY(!answered("", list, "POST"));
        QVERIFY(!answered("", QUrl(QStringLiteral("kavo://other/app/n.htm"))));
        QVERIFY(!answered("", QUrl(QStringLiteral("kavo://app:80/app/n.htm"))));
        QVERIFY(!answered("kavo://app", QUrl(QStringLiteral("kavo://app/config.ini"))));
        QVERIFY(!answered("", QUrl(QStringLiteral("http://app/app/n.htm"))));

        QVERIFY(!LocalContent::Answer(m_paths, {"GET", QUrl(QStringLiteral("kavo://app/app/fonts/sans.otf")),
                                                QUrl(QStringLiteral("http://127.0.0.1:8740"))}));
    }

    void localPathsBecomeDoorAddresses()
    {
        const QString app = m_paths.appDir();
        QCOMPARE(LocalContent::UrlForLocalPath(m_paths, app + QStringLiteral("/app/flash.htm?104")),
                 QUrl(QStringLiteral("kavo://app/app/flash.htm?104")));
        QCOMPARE(LocalContent::UrlForLocalPath(m_paths, app + QStringLiteral("/app/n.htm")).toString(),
                 QStringLiteral("kavo://app/app/n.htm"));
        // Whatever the address says, the door decides on the decoded path.
        const QUrl odd = LocalContent::UrlForLocalPath(m_paths, app + QStringLiteral("/app/a b%.htm"));
        QCOMPARE(odd.path(QUrl::FullyDecoded), QStringLiteral("/app/a b%.htm"));
        QVERIFY(LocalContent::UrlForLocalPath(m_paths, app + QStringLiteral("/../x.htm")).isEmpty());
        QVERIFY(LocalContent::UrlForLocalPath(m_paths, app + QStringLiteral("x/app/n.htm")).isEmpty());
        QVERIFY(LocalContent::UrlForLocalPath(m_paths, QStringLiteral("/etc/passwd")).isEmpty());
        QVERIFY(LocalContent::IsDoorUrl(QStringLiteral("KAVO://app/app/n.htm")));
        QVERIFY(!LocalContent::IsDoorUrl(QStringLiteral("file:///kavo:")));
    }

    void installedProgramJoinsItsTwoFolders()
    {
        // Installed files from the read-only folder, everything stored from
        // the user's folder, each set only from its own folder.
        const AppPaths paths(m_dir.filePath(QStringLiteral("lib/kavo-gamebox")),
                             m_dir.filePath(QStringLiteral("home/kavo-gamebox")));
        for (const char *name : {"app/flash.htm", "app/i.gif", "app/ruffle/ruffle.js", "app/n.htm", "flash/3.swf"})
            QVERIFY(WriteFile(paths.installedDir() + QLatin1Char('/') + QLatin1String(name), "installed"));
        for (const char *name : {"app/c.htm", "app/d.htm", "app/flash.htm", "app/i.gif", "app/ruffle/core.js",
                                 "flash/104.swf"})
            QVERIFY(WriteFile(paths.appDir() + QLatin1Char('/') + QLatin1String(name), "stored"));

        const auto servedFrom = [&](const char *urlPath) {
            const auto served = LocalContent::Resolve(paths, QString::fromLatin1(urlPath));
            if (!served)
                return QStringLiteral("none");
            return QString::fromLatin1(ReadFile(served->path));
        };
        QCOMPARE(servedFrom("/app/flash.htm"), QStringLiteral("installed"));
        QCOMPARE(servedFrom("/app/i.gif"), QStringLiteral("installed"));
        QCOMPARE(servedFrom("/app/ruffle/ruffle.js"), QStringLiteral("installed"));
        QCOMPARE(servedFrom("/app/ruffle/core.js"), QStringLiteral("none"));
        QCOMPARE(servedFrom("/app/c.htm"), QStringLiteral("stored"));
        QCOMPARE(servedFrom("/app/n.htm"), QStringLiteral("none"));
        QCOMPARE(servedFrom("/flash/104.swf"), QStringLiteral("stored"));
        QCOMPARE(servedFrom("/flash/3.swf"), QStringLiteral("none"));

        QCOMPARE(LocalContent::UrlForLocalPath(paths, paths.installedAppFile(QStringLiteral("flash.htm?104"))),
                 QUrl(QStringLiteral("kavo://app/app/flash.htm?104")));
        QCOMPARE(LocalContent::UrlForLocalPath(paths, paths.dataFile(QStringLiteral("d.htm"))),
                 QUrl(QStringLiteral("kavo://app/app/d.htm")));
        QVERIFY(LocalContent::UrlForLocalPath(paths, m_dir.filePath(QStringLiteral("lib/x.htm"))).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestLocalContent)
#include "tst_localcontent.moc"
