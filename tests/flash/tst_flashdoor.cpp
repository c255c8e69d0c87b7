// The Flash runtime's door: the runtime and the fonts for every page, and
// the movies of hosts without cross-origin consent for the game pane, as
// movies and pictures only.
#include "flash/flashdoor.h"
#include "support/core/files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFlashDoor : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    AppPaths m_paths;

    bool answered(const char *url, const QByteArray &method = "GET")
    {
        return FlashDoor::AnswerFile(m_paths, {method, QUrl(QString::fromLatin1(url)),
                                               QUrl(QStringLiteral("http://127.0.0.1:8740"))})
            .has_value();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_paths = AppPaths(m_dir.filePath(QStringLiteral("kavo")));
        for (const char *name : {"config.ini", "app/n.htm", "app/flash.htm", "app/ruffle/ruffle.js",
                                 "app/ruffle/a.wasm", "app/ruffle/sub/a.js", "app/fonts/sans.otf", "app/fonts/sans.ttf",
                                 "flash/104.swf"})
            QVERIFY(WriteFile(m_paths.appDir() + QLatin1Char('/') + QLatin1String(name), "x"));
        QVERIFY(QFile::link(m_paths.configPath(), m_paths.dataFile(QStringLiteral("ruffle/evil.js"))));
    }

    // Every page may read the runtime and the fonts, and nothing else.
    void servesTheRuntimeAndFontsOnly()
    {
        for (const char *ok : {"kavoflash://app/ruffle/ruffle.js", "kavoflash://app/ruffle/a.wasm",
                               "kavoflash://app/fonts/sans.otf"})
            QVERIFY2(answered(ok), ok);
        for (const char *other : {"kavoflash://app/ruffle/sub/a.js", "kavoflash://app/ruffle/evil.js",
                                  "kavoflash://app/fonts/sans.ttf", "kavoflash://app/ruffle/../n.htm",
                                  "kavoflash://app/ruffle/%2e%2e%2fn.htm", "kavoflash://app/ruffle/..%2fflash.htm",
                                  "kavoflash://app/app/n.htm", "kavoflash://app/flash/104.swf",
                                  "kavoflash://app/config.ini", "kavoflash://app/ruffle/ruffle.js?x",
                                  "kavoflash://other/ruffle/ruffle.js", "kavoflash://app:1/ruffle/ruffle.js",
                                  "kavoflash://u@app/ruffle/ruffle.js", "kavo://app/ruffle/ruffle.js",
                                  "kavoflash://app/fetch?t=x&m=GET&u=http%3A%2F%2Fh%2Fa.swf"})
            QVERIFY2(!answered(other), other);
        QVERIFY(!answered("kavoflash://app/ruffle/ruffle.js", "POST"));
    }

    void fetchAddressesAreParsedStrictly_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("target"); // empty: refused
        QTest::addColumn<bool>("head");
        const QUrl movie(QStringLiteral("http://games.example:81/a b/游戏.swf?x=1&y=%26#f"));
        QTest::newRow("built") << FlashDoor::FetchUrl(QStringLiteral("tok"), movie, false).toString()
                               << QStringLiteral("http://games.example:81/a%20b/%E6%B8%B8%E6%88%8F.swf?x=1&y=%26")
                               << false;
        QTest::newRow("head") << FlashDoor::FetchUrl(QStringLiteral("tok"), QUrl(QStringLiteral("https://h/a.swf")), true)
                                     .toString()
                              << QStringLiteral("https://h/a.swf") << true;
        const char *refused[] = {
            "kavoflash://app/fetch?m=GET&u=http%3A%2F%2Fh%2Fa.swf",             // no token
            "kavoflash://app/fetch?t=tok&m=POST&u=http%3A%2F%2Fh%2Fa.swf",      // method
            "kavoflash://app/fetch?t=tok&m=GET&u=file%3A%2F%2F%2Fetc%2Fpasswd", // local file
            "kavoflash://app/fetch?t=tok&m=GET&u=kavo%3A%2F%2Fapp%2Fapp%2Fn.htm",
            "kavoflash://app/fetch?t=tok&m=GET&u=kavoflash%3A%2F%2Fapp%2Fruffle%2Fruffle.js",
            "kavoflash://app/fetch?t=tok&m=GET&u=data%3A%2Cx",
            "kavoflash://app/fetch?t=tok&m=GET&u=%2Frelative.swf",
            "kavoflash://app/fetch?t=tok&m=GET&u=http%3A%2F%2Fuser%3Apw%40h%2Fa.swf",
            "kavoflash://app/fetch?t=tok&m=GET&u=http%3A%2F%2F%2Fa.swf",        // no host
            "kavoflash://other/fetch?t=tok&m=GET&u=http%3A%2F%2Fh%2Fa.swf",
            "kavoflash://app/fetch/x?t=tok&m=GET&u=http%3A%2F%2Fh%2Fa.swf",
        };
        for (const char *url : refused)
            QTest::newRow(url) << QString::fromLatin1(url) << QString() << false;
    }

    void fetchAddressesAreParsedStrictly()
    {
        QFETCH(QString, url);
        QFETCH(QString, target);
        QFETCH(bool, head);
        const auto fetch = FlashDoor::ParseFetch({"GET", QUrl(url), QUrl(QStringLiteral("http://127.0.0.1:8740"))});
        QCOMPARE(fetch.has_value(), !target.isEmpty());
        if (!fetch)
            return;
        QCOMPARE(fetch->token, QStringLiteral("tok"));
        QCOMPARE(fetch->target.toString(QUrl::FullyEncoded), target);
        QCOMPARE(fetch->head, head);
        QVERIFY(!FlashDoor::ParseFetch({"POST", QUrl(url), QUrl()}));
    }

    // Only movies and pictures pass, judged by their first bytes.
    void judgesTheFirstBytes_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("content");
        QTest::addColumn<QByteArray>("mime");
        using C = FlashDoor::Content;
        const QByteArray plain("FWS\x0a\x40\x00\x00\x00", 8), packed("CWS\x0a\x00\x10\x00\x00", 8);
        QTest::newRow("plain movie") << plain << false << qint64(-1) << int(C::Movie)
                                     << QByteArray("application/x-shockwave-flash");
        QTest::newRow("plain movie, size fits") << plain << true << qint64(64) << int(C::Movie)
                                                << QByteArray("application/x-shockwave-flash");
        QTest::newRow("plain movie cut short") << plain << true << qint64(20) << int(C::Other) << QByteArray();
        QTest::newRow("zlib movie") << packed << false << qint64(-1) << int(C::Movie) << QByteArray();
        QTest::newRow("LZMA movie") << QByteArray("ZWS\x0d\x00\x10\x00\x00", 8) << false << qint64(-1)
                                    << int(C::Movie) << QByteArray();
        QTest::newRow("bad version") << QByteArray("FWS\x00\x40\x00\x00\x00", 8) << false << qint64(-1)
                                     << int(C::Other) << QByteArray();
        QTest::newRow("png") << QByteArray("\x89PNG\r\n\x1a\n", 8) << false << qint64(-1) << int(C::Picture)
                             << QByteArray("image/png");
        QTest::newRow("jpeg") << QByteArray("\xff\xd8\xff\xe0\x00\x10JF", 8) << false << qint64(-1) << int(C::Picture)
                              << QByteArray("image/jpeg");
        QTest::newRow("gif") << QByteArray("GIF89a\x01\x00", 8) << false << qint64(-1) << int(C::Picture)
                             << QByteArray("image/gif");
        QTest::newRow("short gif, complete") << QByteArray("GIF87a") << true << qint64(6) << int(C::Picture)
                                             << QByteArray("image/gif");
        QTest::newRow("html") << QByteArray("<!DOCTYPE html>") << false << qint64(-1) << int(C::Other) << QByteArray();
        QTest::newRow("json") << QByteArray("{\"a\":1}  ") << false << qint64(-1) << int(C::Other) << QByteArray();
        QTest::newRow("text") << QByteArray("FWS") << true << qint64(3) << int(C::Other) << QByteArray();
        QTest::newRow("empty, complete") << QByteArray() << true << qint64(0) << int(C::Other) << QByteArray();
        QTest::newRow("too few yet") << QByteArray("FWS\x0a", 4) << false << qint64(-1) << int(C::NeedMore)
                                     << QByteArray();
    }

    void judgesTheFirstBytes()
    {
        QFETCH(QByteArray, head);
        QFETCH(bool, complete);
        QFETCH(qint64, size);
        QFETCH(int, content);
        QFETCH(QByteArray, mime);
        QCOMPARE(int(FlashDoor::Judge(head, complete, size)), content);
        if (!mime.isEmpty())
            QCOMPARE(FlashDoor::MimeTypeOf(head), mime);
    }
};

QTEST_APPLESS_MAIN(TestFlashDoor)
#include "tst_flashdoor.moc"
