// The main window on a screen smaller than its smallest design size: the test
// screen at twice the scale is half as large in the window's own pixels.

#include "support/gamebox.h"

#include "shell/framegeometry.h"
#include "support/eventwait.h"
#include "support/x11probe.h"

#include <QApplication>
#include <QScreen>
#include <QtTest>

class TestUiSmallScreen : public QObject
{
    Q_OBJECT

    static QRect workArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // The window's place as the X server has it, in the window's own pixels.
    static QRect placeOnServer(QWidget *w)
    {
        X11Probe::sync();
        const QRect device = X11Probe::rootGeometry(X11Probe::xid(w));
        const qreal ratio = w->devicePixelRatioF();
        return QRect(qRound(device.x() / ratio), qRound(device.y() / ratio), qRound(device.width() / ratio),
                     qRound(device.height() / ratio));
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (const QString no = X11Probe::windowManagerMissing(); !no.isEmpty())
            QFAIL(qPrintable(no));
        const QRect area = workArea();
        QVERIFY2(area.width() < 737 || area.height() < 521,
                 qPrintable(QStringLiteral("the work area %1 x %2 is not smaller than the window's smallest size")
                                .arg(area.width())
                                .arg(area.height())));
    }

    void windowFitsOnTheScreen()
    {
        const QRect area = workArea();
        const QSize floor = FrameGeometry::MinimumSizeOn(area.size());
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        // The first-run size, cut to the screen, on the server too.
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), QSize(903, 614).boundedTo(area.size()), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(placeOnServer(w).size(), w->size(), 5000);
        QCOMPARE(w->minimumSize(), floor);

        // Dragged smaller it comes back to the floor, with or without the size hint.
        w->resize(300, 200);
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), floor, 5000);
        w->setMinimumSize(0, 0);
        w->resize(300, 200);
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), floor, 5000);
        w->setMinimumSize(floor);

        // Maximised it fills the work area exactly.
        w->npc_Click(1);
        QTRY_VERIFY_WITH_TIMEOUT(w->isMaximized(), 5000);
        QVERIFY(KavoTest::WaitUntil([w] {
            const QStringList state = X11Probe::netWmState(X11Probe::Window(w->winId()));
            return state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ"))
                && state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT"));
        }, 10000));
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), area, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(placeOnServer(w), area, 5000);
        QVERIFY(KavoTest::Settle());
        QCOMPARE(w->zzer->geometry(), QRect(4, 96, area.width() - 8, area.height() - 124));
    }

    void savedLargerSizeFits()
    {
        // A size saved on a larger screen: 1100 x 760 pixels.
        const QRect area = workArea();
        GameBox f(GameBox::NO_PORTAL, {{QStringLiteral("s_size"), QStringLiteral("2")},
                                      {QStringLiteral("h_w"), QStringLiteral("16500")},
                                      {QStringLiteral("h_h"), QStringLiteral("11400")}});
        QVERIFY(f.show());
        QTRY_COMPARE_WITH_TIMEOUT(f.w->size(), QSize(1100, 760).boundedTo(area.size()), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(placeOnServer(f.w.get()).size(), f.w->size(), 5000);
    }
};

int main(int argc, char *argv[])
{
    // Before the application object: the scale is read once, at its start.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestUiSmallScreen test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_smallscreen.moc"
