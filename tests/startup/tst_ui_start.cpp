// A start of the game box against a real portal: the main window's first
// navigation of every pane, its initial state and saved size, and the
// executable itself started from a copy of the application folder.
#include "common/apppaths.h"
#include "download/gui/bkdlcontrol.h"
#include "portal/gui/webpane.h"
#include "mainwindow/ba1.h"
#include "startup/processentry.h"
#include "startup/settingsstore.h"
#include "support/core/appfolder.h"
#include "support/core/files.h"
#include "support/eventwait.h"
#include "support/gamebox.h"
#include "support/portalserver.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace
{
const QString S_Q = QStringLiteral("S_q");

QString portalBaseOfBuild()
{
    return QStringLiteral(KAVO_PORTAL_BASE);
}
}

class StartTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstNavigationOfEveryPane()
    {
        GameBox box;
        QVERIFY2(box.portal.start(), qPrintable(box.portal.errorString()));
        PrepareApplicationFolder(box.paths);
        box.setSetting("user", QStringLiteral("abc"), QStringLiteral("main"));
        QVERIFY(box.openWindow(false));
        const PortalServer &portal = box.portal;
        BA1 &w = *box.w;
        QTRY_COMPARE_WITH_TIMEOUT(portal.statsIds(), QStringList{QStringLiteral("abc")}, 20000);
        for (const char *target : {"/", "/yy", "/dan", "/js/ads/topad.html", "/tj/tj.asp?id=abc"})
            QTRY_VERIFY2_WITH_TIMEOUT(portal.requests().contains(QString::fromLatin1(target)), target, 20000);

        QTRY_COMPARE(w.Web1()->locationUrl(), portal.baseUrl());
        QTRY_COMPARE(w.game()->Web2()->locationUrl(), QStringLiteral("about:blank"));
        QTRY_COMPARE(w.game()->Webr()->locationUrl(), QStringLiteral("about:blank"));
        QTRY_COMPARE(w.list()->Web3()->locationUrl(), box.paths.dataFile(QStringLiteral("n.htm")));
        QTRY_COMPARE(w.Web4()->locationUrl(), portal.baseUrl() + QStringLiteral("yy"));
        QTRY_COMPARE(w.Web5()->locationUrl(), portal.baseUrl() + QStringLiteral("dan"));
        QTRY_COMPARE(w.adweb()->locationUrl(), portal.baseUrl() + QStringLiteral("js/ads/topad.html"));
        QTRY_COMPARE(w.Web6()->locationUrl(), portal.baseUrl() + QStringLiteral("tj/tj.asp?id=abc"));

        QCOMPARE(w.state().ConfigPath, box.paths.configPath());
        QCOMPARE(w.state().InstalledVersion, QStringLiteral("1.0"));
        QCOMPARE(w.state().CurrentTab, Caption::PortalTab);
        QVERIFY(w.state().CurrentGameUrl.isEmpty());
        QCOMPARE(w.state().CurrentGameName, QStringLiteral("0"));
        QVERIFY(!w.state().FullScreenGame);
        QVERIFY(!w.DL()->isDownloading());
        QVERIFY(!w.state().PortalErrorShown);
        QVERIFY(!w.state().TopAdFailed);
        QVERIFY(!w.state().WorkArea.isEmpty());
        QCOMPARE(w.state().WorkAreaWidth, w.state().WorkArea.width());
        QCOMPARE(w.state().WorkAreaHeight, w.state().WorkArea.height());
    }

    void savedSizeIsRestoredOnlyWhenAsked()
    {
        // To the nearest pixel, as every size in twips: 12010 twips are 800.67 pixels.
        GameBox box(GameBox::NO_PORTAL, {{QStringLiteral("h_w"), QStringLiteral("12010")},
                                         {QStringLiteral("h_h"), QStringLiteral("9000")}});
        QCOMPARE(box.w->size(), QSize(801, 600));
        box.setSetting("s_size", QStringLiteral("1"));
        box.create(GameBox::NO_PORTAL);
        QVERIFY(box.w->size() != QSize(801, 600));
    }

    void executableStartsFromACopiedFolder()
    {
        // The executable's portal address is the build's; serve the demo
        // portal there.
        const QUrl base(portalBaseOfBuild());
        if (base.host() != QLatin1String("127.0.0.1"))
            QSKIP("the build points at a portal that is not on this machine");
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, quint16(base.port())))
            QFAIL(qPrintable(QStringLiteral("port %1 of the build's portal address is in use").arg(base.port())));
        probe.close();
        PortalServer portal;
        QVERIFY2(portal.start({QStringLiteral("--port"), QString::number(base.port())}),
                 qPrintable(portal.errorString()));

        QTemporaryDir dir;
        const QString app = dir.filePath(QStringLiteral("游戏盒"));
        QVERIFY(CopyInstalledApplication(app));
        QVERIFY(!QFileInfo::exists(app + QStringLiteral("/config.ini")));

        // Started by another game box, whose shader cache folder is gone by
        // now. The engine's diagnostics come only when asked for (the second
        // start); the driver's complaint about the gone folder never.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString gone = dir.filePath(QStringLiteral("gone"));
        env.insert(QStringLiteral("MESA_SHADER_CACHE_DIR"), gone + QStringLiteral("/webdata/mesa_shader_cache"));
        env.remove(QStringLiteral("KAVO_ENGINE_LOG"));
        const QRegularExpression engineLines(QStringLiteral(
            "qt\\.webenginecontext|Sandboxing disabled by user|^\\[\\d+:\\d+:\\d+/[\\d.]+:(INFO|WARNING|ERROR)"),
                                             QRegularExpression::MultilineOption);
        for (int start = 1; start <= 2; ++start) {
            QProcess play;
            play.setProgram(app + QStringLiteral("/play"));
            if (start == 2)
                env.insert(QStringLiteral("KAVO_ENGINE_LOG"), QStringLiteral("1"));
            play.setProcessEnvironment(env);
            play.setProcessChannelMode(QProcess::ForwardedOutputChannel);
            play.start();
            QVERIFY(play.waitForStarted());
            QTRY_COMPARE_WITH_TIMEOUT(portal.statsIds().size(), start, 30000);
            play.terminate();
            if (!play.waitForFinished(10000)) {
                play.kill();
                play.waitForFinished();
            }
            const QString errors = QString::fromLocal8Bit(play.readAllStandardError());
            QVERIFY2(errors.contains(engineLines) == (start == 2), qPrintable(errors));
            QVERIFY2(!errors.contains(QStringLiteral("mesa_shader_cache")), qPrintable(errors));
        }
        QVERIFY(!QFileInfo::exists(gone));
        const QString user = ReadIniValue(app + QStringLiteral("/config.ini"), QStringLiteral("main"),
                                          QStringLiteral("user"), QStringLiteral("0"));
        QVERIFY(!user.isEmpty() && user != QLatin1String("0"));
        QCOMPARE(portal.statsIds(), QStringList({user, user}));
        for (const char *file : {"app/date_n.dat", "app/date_c.dat", "app/date_d.dat", "app/n.htm",
                                 "app/c.htm", "app/d.htm", "app/i.gif", "app/flash.htm"})
            QVERIFY2(QFileInfo::exists(app + QLatin1Char('/') + QString::fromLatin1(file)), file);
    }

    void installedExecutableStoresInThePerUserFolder()
    {
        // An installed folder (marked as the package marks it) stays as it
        // is; the first-start files go to $XDG_DATA_HOME/kavo-gamebox.
        QTemporaryDir dir;
        const QString app = dir.filePath(QStringLiteral("lib/kavo-gamebox"));
        QVERIFY(CopyInstalledApplication(app));
        QVERIFY(WriteFile(app + QLatin1Char('/') + AppPaths::SYSTEM_INSTALL_MARKER, QByteArray()));
        const QStringList installed = FilesUnder(app);
        const QString data = dir.filePath(QStringLiteral("home/data/kavo-gamebox"));

        QProcess play;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("home/data")));
        play.setProcessEnvironment(env);
        play.setProcessChannelMode(QProcess::ForwardedChannels);
        play.start(app + QStringLiteral("/play"));
        QVERIFY(play.waitForStarted());
        // The web profile's storage (webdata/) comes and goes as the engine likes.
        const auto storedFiles = [&] {
            return FilesUnder(data).filter(QRegularExpression(QStringLiteral("^(?!webdata/)")));
        };
        const QStringList firstStart({"app/c.htm", "app/d.htm", "app/date_c.dat", "app/date_d.dat",
                                      "app/date_n.dat", "app/n.htm", "config.ini"});
        QTRY_COMPARE_WITH_TIMEOUT(storedFiles(), firstStart, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(data + QStringLiteral("/webdata")).isDir(), 30000);
        play.terminate();
        if (!play.waitForFinished(10000)) {
            play.kill();
            play.waitForFinished();
        }
        QCOMPARE(FilesUnder(app), installed);
        QVERIFY(!ReadIniValue(data + QStringLiteral("/config.ini"), QStringLiteral("main"),
                              QStringLiteral("user"), QString()).isEmpty());
    }

    void withoutADisplayItSaysSoAndFails()
    {
        QProcess play;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        play.setProcessEnvironment(env);
        QTemporaryDir dir;
        const QString app = dir.filePath(QStringLiteral("kavo"));
        QVERIFY(CopyInstalledApplication(app));
        play.start(app + QStringLiteral("/play"));
        QVERIFY(play.waitForFinished(20000));
        QCOMPARE(play.exitStatus(), QProcess::NormalExit);
        QVERIFY(play.exitCode() != 0);
        const QList<QByteArray> lines = play.readAllStandardError().trimmed().split('\n');
        QCOMPARE(lines.size(), 1);
        // In the program's language, naming what is missing.
        const QString line = QString::fromUtf8(lines.first());
        QVERIFY2(line.contains(QStringLiteral("显示")) && line.contains(QStringLiteral("DISPLAY")), qPrintable(line));
    }

    // As root the program shows no web content unless the user switched the
    // engine's sandbox off; it never does so by itself.
    void asRootItNeedsTheUsersSandboxSwitch()
    {
        if (geteuid() != 0)
            QSKIP("needs root");
        QTemporaryDir dir;
        const QString app = dir.filePath(QStringLiteral("kavo"));
        QVERIFY(CopyInstalledApplication(app));
        QProcess play;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
        play.setProcessEnvironment(env);
        play.start(app + QStringLiteral("/play"));
        QVERIFY(play.waitForFinished(20000));
        QCOMPARE(play.exitStatus(), QProcess::NormalExit);
        QVERIFY(play.exitCode() != 0);
        const QString message = QString::fromUtf8(play.readAllStandardError());
        QVERIFY2(message.contains(QStringLiteral("沙箱")) && message.contains(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX=1")),
                 qPrintable(message));
        // Nothing of the program was started: no first-start files.
        QVERIFY(!QFileInfo::exists(app + QStringLiteral("/config.ini")));

        // The engine's other switch, among the user's arguments, will do.
        env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu  --no-sandbox"));
        play.setProcessEnvironment(env);
        play.start(app + QStringLiteral("/play"));
        QVERIFY(play.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(app + QStringLiteral("/webdata")), 30000);
        QCOMPARE(play.state(), QProcess::Running);
        play.terminate();
        QVERIFY(play.waitForFinished(10000));
    }
};

QTEST_MAIN(StartTest)
#include "tst_ui_start.moc"
