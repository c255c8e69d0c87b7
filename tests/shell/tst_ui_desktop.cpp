// The main window on a desktop with a notification area: the icon in a real
// tray host, its clicks and balloons, and the boss key through the X server,
// all driven by real input (xdotool).
#include "support/core/files.h"
#include "support/gamebox.h"

#include "dialogs/gui/ba2.h"
#include "mainwindow/ba3.h"
#include "shell/gui/globalhotkey.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/trayicon.h"
#include "support/dialoganswers.h"
#include "support/eventwait.h"
#include "support/trayhost.h"
#include "support/sessionbus.h"
#include "support/x11probe.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>
#include <QWebEnginePage>
#include <QtTest>


namespace
{
const QString CONFLICT = QStringLiteral("老板键ctrlt+s与其他软件冲突,未启用!");

// The balloon the toolkit draws beside the icon, when one shows.
QWidget *shownBalloon()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && QByteArray(w->metaObject()->className()) == "QBalloonTip")
            return w;
    return nullptr;
}

QStringList labelTexts(const QWidget *w)
{
    QStringList texts;
    for (const QLabel *label : w->findChildren<QLabel *>())
        if (!label->text().isEmpty())
            texts << label->text();
    return texts;
}

bool pressBossKey()
{
    return Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+s")});
}

// The window manager has the window minimised.
using X11Probe::minimisedOnScreen;

int distinctColours(const QImage &img)
{
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2)
            colours.insert(img.pixel(x, y));
    return colours.size();
}

quint32 ownPid()
{
    return quint32(QCoreApplication::applicationPid());
}

// The desktop's notification service as it is called: every Notify it was
// sent, answered with a new number each.
class NotificationStandIn : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Note
    {
        QString appName, summary, body;
        uint replacesId;
        bool image;
    };
    QList<Note> notes;

public Q_SLOTS:
    uint Notify(const QString &appName, uint replacesId, const QString &, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &hints, int)
    {
        notes.append({appName, summary, body, replacesId, hints.contains(QStringLiteral("image-data"))});
        return uint(notes.size()) + 40;
    }
};

} // namespace

class TestUiDesktop : public QObject
{
    Q_OBJECT

    std::unique_ptr<TrayHost> m_host;
    QTemporaryDir m_home;

    QString desktop() const { return m_home.filePath(QStringLiteral("桌面")); }

    // Waits until the window's icon sits mapped in the tray host.
    bool iconEmbedded(BA1 *w)
    {
        return KavoTest::WaitUntil([w] {
            return X11Probe::trayIcons(ownPid()).size() == 1 && !w->tray()->geometry().isEmpty();
        }, 15000);
    }

public:
    static void initMain()
    {
        static PrivateSessionBus bus;
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address());
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Screenshots go to a desktop folder of the test's own.
        QVERIFY(m_home.isValid());
        QVERIFY(QDir().mkpath(desktop()));
        const QString config = m_home.filePath(QStringLiteral("config"));
        QVERIFY(QDir().mkpath(config));
        QVERIFY(WriteFile(config + QStringLiteral("/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"" + QFile::encodeName(desktop()) + "\"\n"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation), desktop());

        m_host = std::make_unique<TrayHost>();
        QVERIFY(m_host->running());
    }

    void iconClicksAndBalloons()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        QVERIFY(iconEmbedded(w));
        QCOMPARE(w->tray()->toolTip(), QStringLiteral("Kavo游戏盒"));
        // Where the toolkit has the icon is where the tray host shows it.
        const QRect host = X11Probe::trayArea();
        QTRY_VERIFY_WITH_TIMEOUT(X11Probe::rootGeometry(X11Probe::trayIcons(ownPid()).first()).contains(
                                     w->tray()->geometry().center()),
                                 5000);
        const QPoint icon = w->tray()->geometry().center();
        QVERIFY(host.contains(icon));

        // Left clicks: minimised -> restored; visible -> hidden -> shown.
        // (Minimised first: a window manager may undo a minimise that comes
        // at once after an activation.)
        QTRY_COMPARE_WITH_TIMEOUT(X11Probe::activeWindow(), X11Probe::Window(w->winId()), 5000);
        w->showMinimized();
        QTRY_VERIFY_WITH_TIMEOUT(minimisedOnScreen(w), 5000);
        QVERIFY(ClickAt(icon));
        QTRY_VERIFY_WITH_TIMEOUT(!w->isMinimized(), 5000);
        QVERIFY(w->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!minimisedOnScreen(w) && X11Probe::isViewable(X11Probe::Window(w->winId())), 5000);
        QVERIFY(ClickAt(icon));
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(X11Probe::shownMainWindows(ownPid()).isEmpty(), 5000);
        QVERIFY(ClickAt(icon));
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(X11Probe::activeWindow(), X11Probe::Window(w->winId()), 5000);

        // A right click pops up the program menu; its settings entry opens
        // the dialog.
        {
            MenuAnswer menu(QStringLiteral("软件设置"));
            QVERIFY(ClickAt(icon, 3));
            QTRY_COMPARE_WITH_TIMEOUT(menu.count, 1, 10000);
            QCOMPARE(menu.entries, ProgramMenuEntries());
            QTRY_VERIFY_WITH_TIMEOUT(w->findChild<BA2 *>() && w->findChild<BA2 *>()->isVisible(), 5000);
            QVERIFY(w->isVisible());
            w->findChild<BA2 *>()->findChild<QPushButton *>(QStringLiteral("cancel"))->click();
        }

        // A window that was put on top comes back in front too (the desktop
        // gets a new native window for it when it is shown again).
        w->npc_Click(Caption::OnTop);
        QVERIFY(ClickAt(icon));
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(X11Probe::shownMainWindows(ownPid()).isEmpty(), 5000);
        QVERIFY(ClickAt(icon));
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(X11Probe::activeWindow(), X11Probe::Window(w->windowHandle()->winId()), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(X11Probe::netWmState(X11Probe::Window(w->windowHandle()->winId()))
                                     .contains(QStringLiteral("_NET_WM_STATE_ABOVE")),
                                 5000);
        w->npc_Click(Caption::OnTop);

        // A screenshot announces itself in a balloon on the icon.
        f.play(QStringLiteral("tuzoflash://1$$$games/1.swf$$$%u98CE%u8F66/"));
        w->c_z_click(Tool::Screenshot);
        QTRY_VERIFY_WITH_TIMEOUT(shownBalloon(), 5000);
        QWidget *balloon = shownBalloon();
        const QStringList texts = labelTexts(balloon);
        QVERIFY2(texts.contains(QStringLiteral("Kavo游戏盒提示:")), qPrintable(texts.join(QLatin1Char('|'))));
        QVERIFY(std::any_of(texts.cbegin(), texts.cend(), [this](const QString &t) {
            return t.startsWith(QStringLiteral("截图完成。路径:") + desktop() + QStringLiteral("/风车/"));
        }));
        // Beside the icon, and on screen for a look.
        QVERIFY(balloon->frameGeometry().adjusted(-40, -40, 40, 40).intersects(w->tray()->geometry()));
        QVERIFY(QTest::qWaitForWindowExposed(balloon));
        const QRect area = balloon->frameGeometry().united(host).adjusted(-10, -10, 10, 10);
        QScreen *screen = QGuiApplication::primaryScreen();
        const auto shot = [&] { return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage(); };
        // Painted once the screen shows more than the empty background there.
        QTRY_VERIFY_WITH_TIMEOUT(distinctColours(shot().copy(balloon->frameGeometry().translated(-area.topLeft()))) > 4, 5000);
        QVERIFY(shot().save(QStringLiteral(KAVO_BUILD_DIR "/tray-balloon.png")));

        // With the balloon option off, nothing shows.
        QTest::mouseClick(balloon, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!shownBalloon(), 15000);
        f.setSetting("s_pao", QStringLiteral("1"));
        const BalloonContent before = w->tray()->lastBalloon();
        w->c_z_click(Tool::Screenshot);
        QTRY_COMPARE(QDir(desktop() + QStringLiteral("/风车")).entryList(QDir::Files).size(), 2);
        QCOMPARE(w->tray()->lastBalloon().text, before.text);
        QVERIFY(!shownBalloon());

        // At exit the icon goes.
        QVERIFY(endsTheProgram([w] { w->ttt_v(); }));
        QTRY_VERIFY_WITH_TIMEOUT(X11Probe::trayIcons(ownPid()).isEmpty(), 5000);
    }

    void bossKey()
    {
        GameBox f(GameBox::NO_PORTAL, {{QStringLiteral("ts"), QStringLiteral("1")}, {QStringLiteral("quit"), QStringLiteral("2")}});
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        QVERIFY(iconEmbedded(w));
        QVERIFY(w->bossKey());
        QCOMPARE(w->renj()->text(), QStringLiteral("老板键 Ctrl+S"));

        // Minimised counts as visible: everything hides, and the window comes
        // back restored. Caps Lock does not matter.
        QTRY_COMPARE_WITH_TIMEOUT(X11Probe::activeWindow(), X11Probe::Window(w->winId()), 5000);
        w->showMinimized();
        QTRY_VERIFY_WITH_TIMEOUT(minimisedOnScreen(w), 5000);
        QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("Caps_Lock"), QStringLiteral("ctrl+s"),
                         QStringLiteral("Caps_Lock")}));
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 5000);
        QVERIFY(pressBossKey());
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible() && !w->isMinimized(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!minimisedOnScreen(w) && X11Probe::isViewable(X11Probe::Window(w->winId())), 5000);

        // While hidden no pane is heard; back, each has the sound it had (a
        // pane the player muted stays muted).
        QWebEnginePage *game = w->game()->Web2()->page();
        QWebEnginePage *portal = w->Web1()->page();
        portal->setAudioMuted(true);
        QVERIFY(pressBossKey());
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 5000);
        QVERIFY(game->isAudioMuted() && portal->isAudioMuted() && w->game()->Webr()->page()->isAudioMuted());
        QVERIFY(pressBossKey());
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 5000);
        QVERIFY(!game->isAudioMuted() && !w->game()->Webr()->page()->isAudioMuted());
        QVERIFY(portal->isAudioMuted());
        portal->setAudioMuted(false);

        // Hides the window, the icon and the side windows.
        MenuForm(w);
        BA2 *dialog = SettingsDialog(w);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog, 10000));
        const QPointer<BA2> unloaded(dialog);
        const X11Probe::Window dialogWindow = X11Probe::Window(dialog->winId());
        QVERIFY(pressBossKey());
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(X11Probe::trayIcons(ownPid()).isEmpty(), 5000);
        QTRY_VERIFY(!w->findChild<BA3 *>());
        QTRY_VERIFY(!unloaded);
        QVERIFY(!X11Probe::isViewable(dialogWindow));
        // The next press brings the window and the icon back.
        QVERIFY(pressBossKey());
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(X11Probe::trayIcons(ownPid()).size(), 1, 10000);
        QVERIFY(!w->isMinimized());

        // After a close to the notification area the key shows the window.
        w->npc_Click(Caption::Close);
        QVERIFY(!w->isVisible());
        QCOMPARE(X11Probe::trayIcons(ownPid()).size(), 1);
        QVERIFY(pressBossKey());
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(X11Probe::activeWindow(), X11Probe::Window(w->winId()), 5000);
        QCOMPARE(X11Probe::trayIcons(ownPid()).size(), 1);
    }

    void bossKeyHeldByAnotherProgram()
    {
        X11Probe::KeyGrabber other('s');
        QVERIFY(other.grabbed());
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        QVERIFY(!w->bossKey());
        QCOMPARE(w->renj()->text(), CONFLICT);
        QVERIFY(pressBossKey());
        // Once the other program has the press, this one would have had it too.
        int presses = 0;
        QTRY_VERIFY_WITH_TIMEOUT((presses += other.takePresses()) == 1, 5000);
        QCoreApplication::processEvents();
        QVERIFY(w->isVisible());
    }

    // A later start hands over while this one's window is still on its way
    // to the window manager: the window still ends up on screen. Hidden and
    // shown again at that moment, it used to stay unmapped about one time in
    // five, leaving the program running with only its icon.
    void handOffWhileTheWindowMaps()
    {
        GameBox f(GameBox::NO_PORTAL);
        for (int round = 0; round < 10; ++round) {
            // A window's first map each round.
            f.create(GameBox::NO_PORTAL);
            BA1 *w = f.w.get();
            const auto window = X11Probe::Window(w->winId());
            w->show();
            // The hand-off comes in at the next turn of the event loop, before
            // the window manager has answered the map request.
            QTimer::singleShot(0, w, [w] { w->Form_LinkExecute(QString()); });
            QVERIFY2(KavoTest::WaitUntil([&] { return X11Probe::isViewable(window); }, 5000),
                     qPrintable(QStringLiteral("round %1: the window was not mapped").arg(round)));
            QVERIFY(w->isVisible());
        }
    }

    void withoutANotificationArea()
    {
        m_host->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!TrayIcon::isAvailable(), 5000);
        GameBox f(GameBox::NO_PORTAL, {{QStringLiteral("ts"), QStringLiteral("1")}, {QStringLiteral("quit"), QStringLiteral("2")}});
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        // Closing minimises: a hidden window could not be got back.
        w->npc_Click(Caption::Close);
        QTRY_VERIFY_WITH_TIMEOUT(w->isMinimized(), 5000);
        QVERIFY(w->isVisible());
        // The boss key still hides and shows it.
        QVERIFY(pressBossKey());
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 5000);
        QVERIFY(pressBossKey());
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible() && !w->isMinimized(), 5000);

        // Balloons: with no notification service either, a screenshot still
        // ends as it should; with one, they go there from the program.
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        f.play(QStringLiteral("tuzoflash://1$$$games/1.swf$$$%u98CE%u8F66/"));
        w->c_z_click(Tool::Screenshot);
        QVERIFY(w->tray()->lastBalloon().text.startsWith(QStringLiteral("截图完成。路径:") + desktop() + QStringLiteral("/风车/")));

        NotificationStandIn service;
        QDBusConnection serviceBus = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"),
                                                                   QStringLiteral("notification-stand-in"));
        const auto endService = qScopeGuard([] { QDBusConnection::disconnectFromBus(QStringLiteral("notification-stand-in")); });
        QVERIFY(serviceBus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                          QDBusConnection::ExportAllSlots));
        QVERIFY(serviceBus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        w->c_z_click(Tool::Screenshot);
        QTRY_COMPARE_WITH_TIMEOUT(service.notes.size(), 1, 10000);
        const NotificationStandIn::Note note = service.notes.first();
        QCOMPARE(note.appName, QStringLiteral("Kavo游戏盒"));
        QCOMPARE(note.summary, QStringLiteral("Kavo游戏盒提示:"));
        QCOMPARE(note.body, w->tray()->lastBalloon().text);
        QVERIFY(note.body.startsWith(QStringLiteral("截图完成。路径:") + desktop() + QStringLiteral("/风车/")));
        QCOMPARE(note.replacesId, 0u);
        QVERIFY(note.image);
        // The next one takes the place of the one before; the favourite's
        // word goes the same way.
        w->shoucang();
        QTRY_COMPARE_WITH_TIMEOUT(service.notes.size(), 2, 10000);
        QCOMPARE(service.notes.last().body, QStringLiteral("风车已添加到收藏！"));
        QCOMPARE(service.notes.last().replacesId, 41u);
    }
};

QTEST_MAIN(TestUiDesktop)
#include "tst_ui_desktop.moc"
