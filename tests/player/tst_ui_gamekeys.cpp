// A game hears the keys at once: after a play command, with no click into it,
// the arrow keys reach the movie, online and as a downloaded copy. A window
// hidden by the boss key while Ctrl is held leaves the game with clean keys:
// neither a movie nor a script game goes on believing Ctrl held.
#include "support/eventwait.h"
#include "support/gamebox.h"
#include "support/trayhost.h"
#include "support/x11probe.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class GameKeysTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_pages;
    GameBox box;

    bool reported(const QString &target, int count = 1)
    {
        return KavoTest::WaitUntil([&] { return box.portal.requests().count(target) >= count; }, 30000);
    }

    // The game's player has been given the keyboard.
    bool playerHasKeys()
    {
        return KavoTest::WaitUntil([&] {
            return GameBox::js(box.w->game()->Web2(), QStringLiteral("var p = document.activeElement; !!(p && p.shadowRoot && "
                                                           "p.shadowRoot.activeElement && "
                                                           "p.shadowRoot.activeElement.id == 'container')"))
                .toBool();
        }, 30000);
    }

    // The game pane's page has the keyboard.
    bool pageHasKeys()
    {
        return KavoTest::WaitUntil([&] {
            return GameBox::js(box.w->game()->Web2(), QStringLiteral("document.readyState == 'complete' && document.hasFocus()"))
                .toBool();
        }, 20000);
    }

    bool active()
    {
        return KavoTest::WaitUntil([&] {
            return box.w->isActiveWindow() && X11Probe::activeWindow() == X11Probe::Window(box.w->winId());
        }, 10000);
    }

    // Where the keyboard is, for a failure's message.
    QString focus()
    {
        QWidget *widget = QApplication::focusWidget();
        QString chain;
        for (QWidget *w = widget; w; w = w->parentWidget())
            chain += QString::fromLatin1(w->metaObject()->className()) + QLatin1Char('<');
        return QStringLiteral("active %1, focus %2, page %3")
            .arg(box.w->isActiveWindow())
            .arg(chain,
                 GameBox::js(box.w->game()->Web2(), QStringLiteral("document.hasFocus() + ' ' + (document.activeElement ? "
                                                         "document.activeElement.tagName : 'none') + ' ' + "
                                                         "(document.activeElement && document.activeElement.shadowRoot && "
                                                         "document.activeElement.shadowRoot.activeElement ? "
                                                         "document.activeElement.shadowRoot.activeElement.id : '-')"))
                     .toString());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_pages.isValid());
        // The project's script game beside the movie made for the portal's address.
        QVERIFY(QFile::copy(QStringLiteral(KAVO_SOURCE_DIR "/tests/pages/heldkeys.html"),
                            m_pages.filePath(QStringLiteral("heldkeys.html"))));
        QVERIFY(box.start({QStringLiteral("--pages"), m_pages.path()}));
        QProcess gen;
        gen.start(QStringLiteral(KAVO_SWFGEN_BIN),
                  {QStringLiteral("--keys"), box.base(), m_pages.filePath(QStringLiteral("keys.swf"))});
        QVERIFY(gen.waitForFinished(30000) && gen.exitCode() == 0);
        QVERIFY(box.installLocalPlayer());
        QVERIFY(QDir().mkpath(box.paths.flashDir()));
        QVERIFY(QFile::copy(m_pages.filePath(QStringLiteral("keys.swf")), box.paths.flashFile(QStringLiteral("951"))));
        QVERIFY(box.w->bossKey());
    }

    void arrowsReachTheGameWithoutAClick()
    {
        BA1 &w = *box.w;
        QVERIFY(active());
        box.play(QStringLiteral("tuzoflash://950$$$%1pages/keys.swf$$$%u6309%u952E").arg(box.base()));
        QVERIFY2(reported(QStringLiteral("/keys-ready")), "the movie never ran");
        QVERIFY2(playerHasKeys(), qPrintable(focus()));
        QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("Right")}));
        QVERIFY2(reported(QStringLiteral("/key?code=39&ctrl=false")), qPrintable(focus()));

        // Ctrl held down while the boss key hides everything, and let go
        // while another window has the keyboard; the key again brings the
        // window back. Neither the movie nor a script game that keeps its own
        // account of held keys goes on believing Ctrl held.
        const auto bossKeyWithCtrlHeld = [&](const QString &ctrlSeen) {
            QVERIFY(Xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl")}));
            if (!ctrlSeen.isEmpty())
                QVERIFY2(reported(ctrlSeen), "the game never heard Ctrl");
            QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("s")}));
            QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 5000);
            // Gone from the screen: Ctrl goes up in another window.
            QTRY_VERIFY_WITH_TIMEOUT(!X11Probe::isViewable(X11Probe::Window(w.winId())), 5000);
            QVERIFY(Xdotool({QStringLiteral("keyup"), QStringLiteral("ctrl")}));
            // Let go before the window is back.
            QVERIFY(Xdotool({QStringLiteral("keydown"), QStringLiteral("--delay"), QStringLiteral("0"), QStringLiteral("ctrl"),
                             QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("0"), QStringLiteral("s"),
                             QStringLiteral("keyup"), QStringLiteral("--delay"), QStringLiteral("0"), QStringLiteral("ctrl")}));
            QTRY_VERIFY_WITH_TIMEOUT(w.isVisible(), 5000);
            QVERIFY(active());
            QVERIFY2(pageHasKeys(), qPrintable(focus()));
            QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("Right")}));
        };
        bossKeyWithCtrlHeld(QString());
        QVERIFY2(reported(QStringLiteral("/key?code=39&ctrl=false"), 2),
                 qPrintable(box.portal.requests().filter(QStringLiteral("/key?")).join(QLatin1Char(' '))));

        w.game()->Web2()->Navigate(box.base() + QStringLiteral("pages/heldkeys.html"));
        QVERIFY2(pageHasKeys(), qPrintable(focus()));
        // The first keys a page just loaded is given may not reach its script:
        // Shift until it does.
        int shifts = 0;
        while (shifts < 10 && !box.portal.requests().contains(QStringLiteral("/held?key=Shift&ctrl=false"))) {
            QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("shift")}));
            KavoTest::WaitUntil([&] { return box.portal.requests().contains(QStringLiteral("/held?key=Shift&ctrl=false")); },
                                2000 << shifts++ / 3);
        }
        QVERIFY2(shifts < 10, "the page never heard a key");
        bossKeyWithCtrlHeld(QStringLiteral("/held?key=Control&ctrl=true"));
        QVERIFY2(reported(QStringLiteral("/held?key=ArrowRight&ctrl=false")),
                 qPrintable(box.portal.requests().filter(QStringLiteral("/held?")).join(QLatin1Char(' '))));

        // The downloaded copy, in the local player.
        box.play(QStringLiteral("tuzoflash://951$$$%1pages/keys.swf$$$%u6309%u952E").arg(box.base()));
        QTRY_COMPARE(w.game()->Web2()->page()->url().scheme(), QStringLiteral("kavo"));
        QVERIFY2(reported(QStringLiteral("/keys-ready"), 2), "the downloaded copy never ran");
        QVERIFY2(playerHasKeys(), qPrintable(focus()));
        QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("Up")}));
        QVERIFY2(reported(QStringLiteral("/key?code=38&ctrl=false")), qPrintable(focus()));
    }
};

QTEST_MAIN(GameKeysTest)
#include "tst_ui_gamekeys.moc"
