// The program on a Wayland desktop, under a real compositor (Weston with
// XWayland), with the toolkit's Wayland platform installed:
//  - with both displays it runs on XWayland: its window maps there, the boss
//    key hides and shows it while another X client has the keyboard, and
//    after the key hid it a second start brings it back;
//  - with the Wayland display alone it runs natively: the status line says
//    that the desktop has no boss key, the icon holds the program menu, the
//    pin and the floating promotion do no harm;
//  - where the desktop offers the shortcuts portal (a stand-in on a private
//    session bus here) the boss key is taken through it and works.
// The native cases run in a child process of this test: the display
// platform is chosen once per process, before the application object.
#include "mainwindow/ba3.h"
#include "services/gui/promotionwindow.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/trayicon.h"
#include "shell/gui/xdisplay.h"
#include "startup/displayplatform.h"
#include "startup/settings.h"
#include "support/core/appfolder.h"
#include "support/dialoganswers.h"
#include "support/eventwait.h"
#include "support/gamebox.h"
#include "support/westonsession.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QLabel>
#include <QMenu>
#include <QScopeGuard>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace
{
const char *const CHILD = "KAVO_WAYLAND_CHILD";
const QString NO_BOSS_KEY = QStringLiteral("当前桌面不支持老板键");

// The window of the program on the session's X display, when it is shown.
QString shownWindow(const WestonSession &session)
{
    QByteArray out;
    session.x(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                          QStringLiteral("^Kavo游戏盒$")},
              &out);
    return QString::fromLatin1(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts).value(0);
}

bool bossKey(const WestonSession &session)
{
    return session.x(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+s")});
}

// The child's checks: failures go to stderr, the exit status says.
int failed(const char *what)
{
    std::fprintf(stderr, "wayland child: %s\n", what);
    return 1;
}

int runNativeChild()
{
    BA1 *w = nullptr;
    GameBox box(GameBox::NO_PORTAL);
    w = box.w.get();
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return failed("not on the Wayland platform");
    if (!box.show())
        return failed("the window never showed");
    const bool portal = qEnvironmentVariable(CHILD) == QLatin1String("portal");
    // The icon holds the program menu for the desktop's tray host.
    if (!w->tray() || !w->tray()->contextMenu())
        return failed("the icon has no menu");
    QStringList entries;
    for (QAction *a : w->tray()->contextMenu()->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    if (entries != ProgramMenuEntries())
        return failed("the icon's menu is not the program menu");
    // Pinned and unpinned, and a floating promotion the compositor places.
    w->npc_Click(Caption::OnTop);
    w->npc_Click(Caption::OnTop);
    w->Timer2_Timer();
    if (!w->floatingPromotion() || !QTest::qWaitForWindowExposed(w->floatingPromotion(), 10000))
        return failed("the floating promotion did not show");
    w->UnloadAdsb();

    if (!portal) {
        if (!KavoTest::WaitUntil([&] { return w->renj()->text() == NO_BOSS_KEY; }, 20000))
            return failed(qPrintable(QStringLiteral("boss key status: ") + w->renj()->text()));
        return w->bossKey() ? failed("a boss key object without a key") : 0;
    }
    // Through the portal: the key is given, and each press toggles.
    if (!KavoTest::WaitUntil([&] { return w->renj()->text() == QStringLiteral("老板键 Ctrl+S"); }, 20000))
        return failed(qPrintable(QStringLiteral("boss key status: ") + w->renj()->text()));
    const auto press = [] {
        QDBusMessage activate = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.kavo.test.PortalControl"), QStringLiteral("Activate"));
        activate << QStringLiteral("boss-key");
        return QDBusConnection::sessionBus().call(activate).type() == QDBusMessage::ReplyMessage;
    };
    if (!press() || !KavoTest::WaitUntil([&] { return !w->isVisible(); }, 10000))
        return failed("the portal's key did not hide the window");
    if (!press() || !KavoTest::WaitUntil([&] { return w->isVisible(); }, 10000))
        return failed("the portal's key did not bring the window back");
    return 0;
}
} // namespace

class TestUiWayland : public QObject
{
    Q_OBJECT

    WestonSession m_session;
    QTemporaryDir m_dir;

    std::unique_ptr<QProcess> startPlay(const QString &app)
    {
        auto play = std::make_unique<QProcess>();
        play->setProcessEnvironment(m_session.environment(WestonSession::Both));
        play->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        play->setStandardOutputFile(QProcess::nullDevice());
        play->start(app + QStringLiteral("/play"), {});
        return play;
    }

    // This test program again, running `mode` natively on the session's
    // Wayland display with its own session bus (and a stand-in portal).
    void runChild(const QString &mode)
    {
        QProcess bus;
        bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                  QStringLiteral("--print-address=1")});
        QVERIFY2(bus.waitForStarted(10000), "dbus-daemon did not start");
        QVERIFY(KavoTest::WaitUntil([&] { return bus.canReadLine(); }, 10000));
        const QString address = QString::fromUtf8(bus.readLine()).trimmed();
        const auto endBus = qScopeGuard([&] {
            bus.terminate();
            bus.waitForFinished(5000);
        });

        QProcessEnvironment env = m_session.environment(WestonSession::WaylandOnly);
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        env.insert(QString::fromLatin1(CHILD), mode);
        QProcess portal;
        if (mode == QLatin1String("portal")) {
            portal.setProcessEnvironment(env);
            portal.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(KAVO_SOURCE_DIR "/tests/support/standinportal.py")});
            QVERIFY2(portal.waitForStarted(10000), "the stand-in portal did not start");
            QVERIFY2(KavoTest::WaitUntil([&] { return portal.canReadLine(); }, 20000), "the stand-in portal is not ready");
        }
        const auto endPortal = qScopeGuard([&] {
            portal.terminate();
            portal.waitForFinished(5000);
        });

        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted(10000));
        QVERIFY2(KavoTest::WaitUntil([&] { return child.state() == QProcess::NotRunning; }, 180000), "the child hangs");
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_session.start())
            QSKIP(qPrintable(QStringLiteral("no Wayland session here: ") + m_session.errorString()));
        QVERIFY(m_dir.isValid());
    }

    void xWaylandWhenBothDisplaysAreThere()
    {
        const QString app = m_dir.filePath(QStringLiteral("xwayland"));
        QVERIFY(CopyInstalledApplication(app));
        InitSettings(app + QStringLiteral("/config.ini"), [] { return QStringLiteral("00-11-22-33-44-55"); });
        // Another X program that takes the keyboard when the game box hides.
        QProcess other;
        other.setProcessEnvironment(m_session.environment(WestonSession::Both));
        other.start(QStringLiteral("xmessage"), {QStringLiteral("another program")});
        QVERIFY(other.waitForStarted(10000));
        const auto endOther = qScopeGuard([&] {
            other.kill();
            other.waitForFinished();
        });

        auto play = startPlay(app);
        const auto endPlay = qScopeGuard([&] {
            play->terminate();
            if (!play->waitForFinished(10000))
                play->kill();
        });
        QVERIFY2(KavoTest::WaitUntil([&] { return !shownWindow(m_session).isEmpty(); }, 90000),
                 "no window of the program on XWayland");
        qInfo("the program's window on XWayland (%s): %s", qPrintable(m_session.xDisplay()),
              qPrintable(shownWindow(m_session)));
        // The window has the keyboard once it is mapped; then the key hides
        // it, and again (another X program has the keyboard now) shows it.
        QVERIFY(bossKey(m_session));
        QVERIFY2(KavoTest::WaitUntil([&] { return shownWindow(m_session).isEmpty(); }, 10000), "Ctrl+S did not hide");
        QVERIFY(bossKey(m_session));
        QVERIFY2(KavoTest::WaitUntil([&] { return !shownWindow(m_session).isEmpty(); }, 10000), "Ctrl+S did not show");

        // Hidden by the key, brought back by a second start.
        QVERIFY(bossKey(m_session));
        QVERIFY(KavoTest::WaitUntil([&] { return shownWindow(m_session).isEmpty(); }, 10000));
        auto second = startPlay(app);
        QVERIFY(second->waitForFinished(30000));
        QCOMPARE(second->exitCode(), 0);
        QVERIFY2(KavoTest::WaitUntil([&] { return !shownWindow(m_session).isEmpty(); }, 10000),
                 "the second start did not bring the window back");
        QCOMPARE(play->state(), QProcess::Running);
    }

    void nativeWaylandWithoutAPortal()
    {
        runChild(QStringLiteral("plain"));
    }

    void nativeWaylandThroughThePortal()
    {
        runChild(QStringLiteral("portal"));
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(CHILD)) {
        // As the program chooses its platform.
        const DisplayChoice display = ChooseDisplayPlatform(qgetenv("QT_QPA_PLATFORM"), XDisplayAnswers(),
                                                            !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
        if (!display.platform.isEmpty())
            qputenv("QT_QPA_PLATFORM", display.platform);
        QApplication app(argc, argv);
        return runNativeChild();
    }
    QApplication app(argc, argv);
    TestUiWayland test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_wayland.moc"
