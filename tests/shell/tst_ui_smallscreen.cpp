// The program's windows on a screen smaller than their design sizes: the test
// screen at four times the scale is a quarter as large in the windows' own
// pixels (320 x 256 on the 1280 x 1024 test screen).

#include "support/gamebox.h"

#include "dialogs/gui/ba2.h"
#include "mainwindow/ba3.h"
#include "services/gui/promotionwindow.h"
#include "shell/gui/picturebox.h"
#include "shell/framegeometry.h"
#include "support/eventwait.h"
#include "support/x11probe.h"

#include <QApplication>
#include <QPushButton>
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
        return X11Probe::rootGeometry(X11Probe::xid(w));
    }

    // A promotion window of the design size `design`, shown: cut to the work
    // area, on it, its close picture `fromRight` pixels from its right edge.
    static void fitsWithItsClosePicture(PromotionWindow *window, const QSize &design, int fromRight)
    {
        const QRect area = workArea();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window, 10000));
        QCOMPARE(window->size(), design.boundedTo(area.size()));
        QTRY_VERIFY_WITH_TIMEOUT(area.contains(placeOnServer(window)), 5000);
        QCOMPARE(window->Picture1()->x(), window->width() - fromRight);
        window->close();
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
        w->npc_Click(Caption::Maximise);
        QTRY_VERIFY_WITH_TIMEOUT(w->isMaximized(), 5000);
        QVERIFY(KavoTest::WaitUntil([w] {
            const QStringList state = X11Probe::netWmState(X11Probe::Window(w->winId()));
            return state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ"))
                && state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT"));
        }, 10000));
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), area, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(placeOnServer(w), area, 5000);
        QVERIFY(KavoTest::Settle());
        QCOMPARE(w->zzer()->geometry(), QRect(4, 96, area.width() - 8, area.height() - 124));
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

    // The windows of a fixed design size: cut to the work area and wholly on
    // it, what the user clicks (close, the dialog's buttons) still inside.
    void fixedWindowsFit()
    {
        const QRect area = workArea();
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();

        BA2 *d = SettingsDialog(w);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d, 10000));
        QCOMPARE(d->size(), QSize(420, 283).boundedTo(area.size()));
        // On the usual test screen (1280 x 1024) the dialog is cut.
        if (QGuiApplication::primaryScreen()->geometry().width() < 420)
            QVERIFY(d->size() != QSize(420, 283));
        QTRY_VERIFY_WITH_TIMEOUT(area.contains(placeOnServer(d)), 5000);
        QCOMPARE(placeOnServer(d).size(), d->size());
        for (const char *name : {"close", "ok", "cancel", "apply"})
            QVERIFY2(d->rect().contains(d->findChild<QWidget *>(QLatin1String(name))->geometry()),
                     "a control of the dialog lies outside it");
        // The buttons keep the design's corner: 19 from the right, 10 from the bottom.
        QCOMPARE(d->findChild<QWidget *>(QStringLiteral("apply"))->geometry().bottomRight(),
                 QPoint(d->width() - 20, d->height() - 11));
        d->close();

        // Both close themselves (the recommendation after 8 s) and go with it.
        QPointer<ba4> recommendation = new ba4(w->webProfile(), QStringLiteral("http://127.0.0.1:9/"));
        recommendation->Timer1()->stop();
        fitsWithItsClosePicture(recommendation, QSize(350, 250), 54);
        QPointer<adsb> floating = new adsb(w->webProfile(), QStringLiteral("http://127.0.0.1:9/"));
        fitsWithItsClosePicture(floating, QSize(268, 200), 16);
        QTRY_VERIFY_WITH_TIMEOUT(!recommendation && !floating, 5000);
    }
};

int main(int argc, char *argv[])
{
    // Before the application object: the scale is read once, at its start.
    qputenv("QT_SCALE_FACTOR", "4");
    QApplication app(argc, argv);
    TestUiSmallScreen test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_smallscreen.moc"
