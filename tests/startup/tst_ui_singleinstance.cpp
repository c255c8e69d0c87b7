// Starts of the real executable on one application folder under a window
// manager with a notification area: a second start hands over to the running
// instance and ends; racing starts end with one instance; a killed instance
// does not block the next start.
#include "startup/settings.h"
#include "startup/settingsstore.h"
#include "support/core/appfolder.h"
#include "support/eventwait.h"
#include "support/trayhost.h"
#include "support/x11probe.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <csignal>
#include <memory>

namespace
{
using X11Probe::Window;

std::unique_ptr<QProcess> startPlay(const QString &app, const QStringList &arguments = {})
{
    auto play = std::make_unique<QProcess>();
    play->setProgram(app + QStringLiteral("/play"));
    play->setArguments(arguments);
    play->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    play->setStandardOutputFile(QProcess::nullDevice());
    play->start();
    return play;
}

quint32 pidOf(const QProcess &p)
{
    return quint32(p.processId());
}

void stop(QProcess &p)
{
    if (p.state() == QProcess::NotRunning)
        return;
    p.terminate();
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
    }
}

// A fresh copy of the application folder whose close command hides the
// window without asking.
bool prepareFolder(const QString &app)
{
    if (!CopyInstalledApplication(app))
        return false;
    InitSettings(app + QStringLiteral("/config.ini"), [] { return QStringLiteral("00-11-22-33-44-55"); });
    WriteIniValue(app + QStringLiteral("/config.ini"), QStringLiteral("S_q"), QStringLiteral("ts"), QStringLiteral("1"));
    return true;
}
} // namespace

class TestUiSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_app;
    std::unique_ptr<TrayHost> m_host;
    std::unique_ptr<QProcess> m_first;
    Window m_window = 0;
    // A window of another program, to take the front from the game box.
    QWidget m_other;

    // Waits for the running instance's window and icon.
    bool waitForInstance(QProcess &play)
    {
        const quint32 pid = pidOf(play);
        if (pid == 0)
            return false;
        const bool seen = KavoTest::WaitUntil([this, pid, &play] {
            if (play.state() != QProcess::Running)
                return true; // ended: reported below
            const QList<Window> windows = X11Probe::shownMainWindows(pid);
            if (windows.size() != 1 || X11Probe::trayIcons(pid).size() != 1)
                return false;
            m_window = windows.first();
            return true;
        }, 90000);
        if (!seen || play.state() != QProcess::Running) {
            // Which part was missing, for the report of a failure.
            qWarning("start %u: running %d, main windows %lld (shown %lld), tray icons %lld", pid,
                     int(play.state() == QProcess::Running), qint64(X11Probe::mainWindows(pid).size()),
                     qint64(X11Probe::shownMainWindows(pid).size()), qint64(X11Probe::trayIcons(pid).size()));
        }
        return seen && play.state() == QProcess::Running;
    }

    // A second start with `arguments`: it ends within 5 s with status 0.
    void secondStart(const QStringList &arguments)
    {
        QElapsedTimer clock;
        clock.start();
        auto second = startPlay(m_app, arguments);
        QVERIFY(second->waitForStarted(10000));
        QVERIFY2(second->waitForFinished(5000), "the second start did not end");
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(clock.elapsed() < 5000);
    }

    // One main window, one icon, the first instance's window shown, normal
    // and in front.
    void checkOneInstanceInFront(QProcess &play)
    {
        const quint32 pid = pidOf(play);
        QTRY_COMPARE_WITH_TIMEOUT(X11Probe::shownMainWindows().size(), 1, 10000);
        m_window = X11Probe::shownMainWindows().first();
        QCOMPARE(X11Probe::pidOf(m_window), pid);
        QTRY_VERIFY_WITH_TIMEOUT(!X11Probe::netWmState(m_window).contains(QStringLiteral("_NET_WM_STATE_HIDDEN")), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(X11Probe::activeWindow(), m_window, 10000);
        QCOMPARE(X11Probe::trayIcons(pid).size(), 1);
        QCOMPARE(play.state(), QProcess::Running);
    }

    void takeTheFront()
    {
        m_other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_other));
        QVERIFY(Xdotool({QStringLiteral("windowactivate"), QString::number(m_other.winId())}));
        QTRY_COMPARE_WITH_TIMEOUT(X11Probe::activeWindow(), Window(m_other.winId()), 10000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_host = std::make_unique<TrayHost>();
        QVERIFY(m_host->running());
        m_other.setWindowTitle(QStringLiteral("another program"));
        m_other.resize(300, 200);
        m_app = m_dir.filePath(QStringLiteral("游戏 盒"));
        QVERIFY(prepareFolder(m_app));
        m_first = startPlay(m_app);
        QVERIFY(m_first->waitForStarted(10000));
        QVERIFY2(waitForInstance(*m_first), "the first start never showed its window and icon");
    }

    void secondStartBringsTheWindowBack_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("normal") << QStringLiteral("normal") << QStringList();
        QTest::newRow("minimised, with arguments")
            << QStringLiteral("minimised") << QStringList{QStringLiteral("--x"), QStringLiteral("游戏 盒"), QString()};
        QTest::newRow("hidden to the tray") << QStringLiteral("hidden") << QStringList{QStringLiteral("-a")};
    }

    void secondStartBringsTheWindowBack()
    {
        QFETCH(QString, state);
        QFETCH(QStringList, arguments);
        takeTheFront();
        if (state == QLatin1String("minimised")) {
            QCOMPARE(X11Probe::shownMainWindows().size(), 1);
            m_window = X11Probe::shownMainWindows().first();
            QVERIFY(Xdotool({QStringLiteral("windowminimize"), QString::number(m_window)}));
            QTRY_VERIFY_WITH_TIMEOUT(X11Probe::netWmState(m_window).contains(QStringLiteral("_NET_WM_STATE_HIDDEN")), 10000);
        } else if (state == QLatin1String("hidden")) {
            const QList<Window> icons = X11Probe::trayIcons(pidOf(*m_first));
            QCOMPARE(icons.size(), 1);
            QVERIFY(ClickAt(X11Probe::rootGeometry(icons.first()).center()));
            QTRY_VERIFY_WITH_TIMEOUT(X11Probe::shownMainWindows().isEmpty(), 10000);
            takeTheFront();
        }
        secondStart(arguments);
        checkOneInstanceInFront(*m_first);
    }

    void startAfterTheInstanceWasKilled()
    {
        const quint32 old = pidOf(*m_first);
        QCOMPARE(::kill(pid_t(old), SIGKILL), 0);
        QVERIFY(m_first->waitForFinished(10000));
        QTRY_VERIFY_WITH_TIMEOUT(X11Probe::mainWindows(old).isEmpty(), 10000);

        m_first = startPlay(m_app);
        QVERIFY(m_first->waitForStarted(10000));
        QVERIFY2(waitForInstance(*m_first), "a start after the kill did not run");
        takeTheFront();
        secondStart({});
        checkOneInstanceInFront(*m_first);
    }

    void racingStartsEndWithOneInstance()
    {
        stop(*m_first);
        QTemporaryDir dir;
        const QString app = dir.filePath(QStringLiteral("race"));
        QVERIFY(CopyInstalledApplication(app));
        auto a = startPlay(app);
        auto b = startPlay(app);
        QVERIFY(a->waitForStarted(10000) && b->waitForStarted(10000));
        // One of them hands over and ends; the other runs the folder.
        QTRY_VERIFY_WITH_TIMEOUT(a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning, 30000);
        QProcess &ended = a->state() == QProcess::NotRunning ? *a : *b;
        QProcess &running = &ended == a.get() ? *b : *a;
        QCOMPARE(ended.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ended.exitCode(), 0);
        QVERIFY2(waitForInstance(running), "the remaining start never showed its window");
        QCOMPARE(X11Probe::shownMainWindows().size(), 1);
        QCOMPARE(running.state(), QProcess::Running);
        stop(running);
    }

    void cleanupTestCase()
    {
        if (m_first)
            stop(*m_first);
    }
};

QTEST_MAIN(TestUiSingleInstance)
#include "tst_ui_singleinstance.moc"
