// What a player keeps across a restart of the program: a game's saves (the
// demo portal's game 108 counts space bar presses in a SharedObject and
// reports the count as /save/report?n=N), the portal's login cookie, and a
// bounded HTTP cache; all of it in the application folder only.
#include "portal/gui/webprofile.h"
#include "startup/quitsignals.h"
#include "startup/settingsstore.h"
#include "support/core/appfolder.h"
#include "support/core/files.h"
#include "support/eventwait.h"
#include "support/gamebox.h"
#include "support/savegame.h"
#include "support/pagescript.h"
#include "support/x11probe.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QtTest>

#include <csignal>

#include <unistd.h>

namespace
{
const QString SAVER = QStringLiteral("108");
const QString SAVER_PLAY = QStringLiteral("tuzoflash://108$$$108$$$%u5B58%u6863%u8BA1%u6570%u5668");

using SaveGame::ReportedCounts;

qint64 folderSize(const QString &dir)
{
    qint64 total = 0;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}
} // namespace

class KeepSavesTest : public QObject
{
    Q_OBJECT

    // The close button with the answered setting "quit the program": the normal quit
    // path, then the window and everything it owns goes, as at the end of
    // the program.
    static void quitWithCloseButton(GameBox &box)
    {
        WriteIniValue(box.paths.configPath(), QStringLiteral("S_q"), QStringLiteral("ts"), QStringLiteral("1"));
        WriteIniValue(box.paths.configPath(), QStringLiteral("S_q"), QStringLiteral("quit"), QStringLiteral("1"));
        box.w->npc_Click(Caption::Close);
        QVERIFY(!box.w->isVisible());
        box.w.reset();
    }

    // SIGTERM to this process, handled as the program's entry handles it.
    static void quitWithSigterm(GameBox &box)
    {
        QuitSignals quit;
        QVERIFY(quit.isActive());
        QObject::connect(&quit, &QuitSignals::quitRequested, box.w.get(), &BA1::SessionQuit);
        QSignalSpy spy(&quit, &QuitSignals::quitRequested);
        QCOMPARE(::kill(::getpid(), SIGTERM), 0);
        QVERIFY(spy.wait(10000));
        QVERIFY(!box.w->isVisible());
        QCOMPARE(box.w->state().ExitPromoFlag, QStringLiteral("0"));
        box.w.reset();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The runtime's console chatter is no finding.
        QLoggingCategory::setFilterRules(QStringLiteral("js=false"));
    }

    void portalGameKeepsItsCount_data()
    {
        QTest::addColumn<bool>("bySignal");
        QTest::newRow("close button") << false;
        QTest::newRow("SIGTERM") << true;
    }

    void portalGameKeepsItsCount()
    {
        QFETCH(bool, bySignal);
        GameBox box;
        QVERIFY(box.start());
        const auto counts = [&] { return ReportedCounts(box.portal.requests()); };
        QCOMPARE(SaveGame::Play(box, SAVER_PLAY, counts), 0);
        QVERIFY(SaveGame::PressSpace(box, counts, 3));
        if (bySignal)
            quitWithSigterm(box);
        else
            quitWithCloseButton(box);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(QFileInfo(box.paths.webDataDir() + QStringLiteral("/Local Storage")).isDir());

        QVERIFY(box.openWindow());
        QCOMPARE(SaveGame::Play(box, SAVER_PLAY, counts), 3);
        QVERIFY(SaveGame::PressSpace(box, counts, 1));
        QCOMPARE(counts(), QList<int>({0, 1, 2, 3, 3, 4}));
    }

    void downloadedCopyKeepsItsCountOffline()
    {
        // The program without its portal: the copy plays through the local
        // player, from the program's own scheme.
        RequestLog requests;
        GameBox box;
        QVERIFY(box.placeDownloadedGame(SAVER, QStringLiteral("%u8BA1%u6570")));
        // The game's reports go to the program's own scheme, where nobody answers.
        const auto counts = [&] {
            return ReportedCounts(requests.urls.filter(QRegularExpression(QStringLiteral("^kavo://app/"))));
        };
        for (int start = 0; start < 2; ++start) {
            QVERIFY(box.openWindow(false));
            box.w->webProfile()->setUrlRequestInterceptor(&requests);
            QCOMPARE(SaveGame::Play(box, SAVER_PLAY, counts), start * 2);
            QCOMPARE(box.w->game()->Web2()->locationUrl(), box.paths.dataDir() + QStringLiteral("/flash.htm?108"));
            QVERIFY(SaveGame::PressSpace(box, counts, 2));
            quitWithCloseButton(box);
        }
        QCOMPARE(counts(), QList<int>({0, 1, 2, 2, 3, 4}));
    }

    void loginCookieSurvivesARestart()
    {
        GameBox box;
        QVERIFY(box.start());
        const auto greeting = [&] {
            return GameBox::js(box.w->Web1(), QStringLiteral("(function(){var u=document.getElementById('user');"
                                                           "return u?u.textContent:'';})()"))
                .toString();
        };
        QTRY_COMPARE(greeting(), QStringLiteral("未登录"));
        box.w->Web4()->Navigate(box.base() + QStringLiteral("login?name=player_1"));
        QTRY_COMPARE_WITH_TIMEOUT(GameBox::js(box.w->Web4(), QStringLiteral("document.getElementById('user') ?"
                                                                          " document.getElementById('user').textContent : ''"))
                                      .toString(),
                                  QStringLiteral("欢迎你，player_1"), 20000);
        quitWithCloseButton(box);

        QVERIFY(box.openWindow());
        QTRY_COMPARE_WITH_TIMEOUT(greeting(), QStringLiteral("欢迎你，player_1"), 20000);
    }

    void httpCacheKeepsTheRuntimeAndStaysUnderItsCap()
    {
        // Far more cacheable data than the cap: 24 answers of 12 MiB each.
        constexpr int FILES = 24, MIB = 12;
        QStringList switches;
        for (int i = 0; i < FILES; ++i)
            switches << QStringLiteral("--big-file") << QStringLiteral("/games/big%1.swf=%2").arg(i).arg(MIB);
        GameBox box;
        QVERIFY(box.start(switches));
        const QString cache = box.paths.webDataDir() + QStringLiteral("/cache");

        // The Flash runtime's WebAssembly modules (over 14 MB each) are
        // fetched once: a second play takes them from the cache.
        const QStringList modules = QDir(QFileInfo(PortalServer::binaryPath()).absolutePath() + QStringLiteral("/ruffle"))
                                        .entryList({QStringLiteral("*.wasm")}, QDir::Files);
        QVERIFY(!modules.isEmpty());
        for (const QString &name : modules) {
            const QString module = QStringLiteral("/ruffle/") + name;
            for (int round = 0; round < 2; ++round) {
                GameBox::js(box.w->Web1(), QStringLiteral("window.wasm = 0; fetch('%1').then(function(r){return r.arrayBuffer()})"
                                                        ".then(function(b){window.wasm=b.byteLength})")
                                             .arg(module));
                QTRY_VERIFY_WITH_TIMEOUT(GameBox::js(box.w->Web1(), QStringLiteral("window.wasm")).toLongLong() > 14000000,
                                         30000);
            }
            QCOMPARE(box.portal.requests().count(module), 1);
        }

        for (int i = 0; i < FILES; ++i) {
            const QString code = QStringLiteral("fetch('/games/big%1.swf').then(function(r){return r.arrayBuffer()})"
                                                ".then(function(b){window.got%1=b.byteLength})")
                                     .arg(i);
            GameBox::js(box.w->Web1(), code);
            QTRY_COMPARE_WITH_TIMEOUT(GameBox::js(box.w->Web1(), QStringLiteral("window.got%1 || 0").arg(i)).toLongLong(),
                                      qint64(MIB) * 1024 * 1024, 30000);
        }
        const qint64 during = folderSize(cache);
        quitWithCloseButton(box);
        const qint64 after = folderSize(cache);
        qInfo("HTTP cache: %lld bytes while running, %lld after quitting, %lld in webdata",
              during, after, folderSize(box.paths.webDataDir()));
        // It did keep something, and never more than the cap (plus its index).
        QVERIFY2(after > 20 * 1024 * 1024, qPrintable(QString::number(after)));
        QVERIFY2(during <= ProgramProfile::HttpCacheLimit + 2 * 1024 * 1024, qPrintable(QString::number(during)));
        QVERIFY2(after <= ProgramProfile::HttpCacheLimit + 2 * 1024 * 1024, qPrintable(QString::number(after)));
    }

    void firstStartWritesOnlyIntoItsFolder()
    {
        // The executable itself, on an empty copy of the application folder,
        // with a home of its own; no portal is needed for this.
        QTemporaryDir dir;
        const QString app = dir.filePath(QStringLiteral("kavo"));
        const QString home = dir.filePath(QStringLiteral("home"));
        QVERIFY(CopyInstalledApplication(app));
        QVERIFY(QDir().mkpath(home + QStringLiteral("/.local/share")) && QDir().mkpath(home + QStringLiteral("/.cache")));
        const QStringList homeBefore = EntriesUnder(home);
        const QStringList installed = FilesUnder(app);

        QProcess play;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        for (const char *name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            env.remove(QString::fromLatin1(name));
        play.setProcessEnvironment(env);
        play.setProcessChannelMode(QProcess::ForwardedChannels);
        play.start(app + QStringLiteral("/play"));
        QVERIFY(play.waitForStarted());
        // Shown: the panes and their profile are there.
        QTRY_VERIFY_WITH_TIMEOUT(!X11Probe::shownMainWindows(quint32(play.processId())).isEmpty(), 30000);
        QVERIFY(QFileInfo(app + QStringLiteral("/webdata")).isDir());
        // The panes' first pages have been committed once the engine keeps
        // its history; a while at most, the check below holds either way.
        (void)KavoTest::WaitUntil([&] { return QFileInfo::exists(app + QStringLiteral("/webdata/History")); }, 30000);

        // The session ends the program: a normal quit, not a death by signal.
        play.terminate();
        QVERIFY(play.waitForFinished(30000));
        QCOMPARE(play.exitStatus(), QProcess::NormalExit);
        QCOMPARE(play.exitCode(), 0);

        QCOMPARE(EntriesUnder(home), homeBefore);
        const QStringList after = FilesUnder(app);
        QVERIFY(!after.filter(QRegularExpression(QStringLiteral("^webdata/"))).isEmpty());
        for (const QString &file : after)
            if (!installed.contains(file))
                QVERIFY2(QRegularExpression(QStringLiteral("^(webdata/|app/|config\\.ini$)")).match(file).hasMatch(),
                     qPrintable(file));
    }
};

QTEST_MAIN(KeepSavesTest)
#include "tst_ui_keepsaves.moc"
