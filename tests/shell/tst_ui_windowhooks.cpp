// The chain of window hooks and the size-limit hook on a plain window.

#include "shell/gui/windowhooks.h"
#include "support/eventwait.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

namespace
{
const QEvent::Type PROBE = QEvent::Type(QEvent::User + 7);

struct Recorder : QWidget
{
    QStringList *log = nullptr;
    bool event(QEvent *e) override
    {
        if (e->type() == PROBE)
            log->append(QStringLiteral("window"));
        return QWidget::event(e);
    }
};

class ProbeHook : public WindowHook
{
public:
    ProbeHook(QWidget *window, QString name, bool consume, QStringList *log)
        : WindowHook(window)
        , m_name(std::move(name))
        , m_consume(consume)
        , m_log(log)
    {
    }

protected:
    bool hookEvent(QEvent *event) override
    {
        if (event->type() != PROBE)
            return false;
        m_log->append(m_name);
        return m_consume;
    }

private:
    QString m_name;
    bool m_consume;
    QStringList *m_log;
};
} // namespace

class TestUiWindowHooks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lastInstalledSeesFirstAndPassesOn()
    {
        QStringList log;
        Recorder window;
        window.log = &log;
        new ProbeHook(&window, QStringLiteral("size limits"), false, &log);
        new ProbeHook(&window, QStringLiteral("tray"), false, &log);
        auto *boss = new ProbeHook(&window, QStringLiteral("boss key"), false, &log);
        QEvent probe(PROBE);
        QCoreApplication::sendEvent(&window, &probe);
        QCOMPARE(log, (QStringList{QStringLiteral("boss key"), QStringLiteral("tray"), QStringLiteral("size limits"),
                                   QStringLiteral("window")}));

        // A consumed message goes no further; a removed hook sees nothing.
        log.clear();
        delete boss;
        new ProbeHook(&window, QStringLiteral("consumer"), true, &log);
        QCoreApplication::sendEvent(&window, &probe);
        QCOMPARE(log, QStringList{QStringLiteral("consumer")});
    }

    void maximisedWindowTakesTheGivenSizeAtTheWorkAreaOrigin()
    {
        QWidget window;
        window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        window.resize(400, 300);
        MinMaxWndProc *hook = HookMinMax(&window, 0, 0, 800, 600);
        QCOMPARE(window.maximumSize(), QSize(800, 600));
        QCOMPARE(window.minimumSize(), QSize(0, 0));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setWindowState(Qt::WindowMaximized);
        const QRect target(QGuiApplication::primaryScreen()->availableGeometry().topLeft(), QSize(800, 600));
        QCOMPARE(hook->maximisedGeometry(), target);
        QTRY_COMPARE_WITH_TIMEOUT(window.geometry(), target, 5000);
        // The drag limit holds for a normal window too.
        window.setWindowState(Qt::WindowNoState);
        QTRY_VERIFY_WITH_TIMEOUT(!window.isMaximized(), 5000);
        window.resize(1000, 900);
        QTRY_COMPARE_WITH_TIMEOUT(window.size(), QSize(800, 600), 5000);
    }

    void zeroMaximumMeansTheScreen()
    {
        QWidget window;
        MinMaxWndProc *hook = HookMinMax(&window, 10, 20, 0, 0);
        QCOMPARE(hook->maximumTrackSize(), QGuiApplication::primaryScreen()->size());
        QCOMPARE(hook->minimumTrackSize(), QSize(10, 20));
        QCOMPARE(window.minimumSize(), QSize(10, 20));
    }
};

QTEST_MAIN(TestUiWindowHooks)
#include "tst_ui_windowhooks.moc"
