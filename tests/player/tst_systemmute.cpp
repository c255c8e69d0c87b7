#include <QElapsedTimer>
#include <QLocalServer>
#include <QtTest>

#include "player/systemmute.h"
#include "support/pulsedaemon.h"

// Runs against a private sound server with null outputs, started here and
// reached only through this process's environment.
class TestSystemMute : public QObject
{
    Q_OBJECT

private:
    PulseDaemon m_pulse;
    QString m_skipReason;

    void requireDaemon()
    {
        if (!m_skipReason.isEmpty())
            QSKIP(qPrintable(m_skipReason));
    }

    static bool pactl(const QStringList &args, QString *out = nullptr) { return PulseDaemon::pactl(args, out); }
    static QString muteOf(const QString &sink) { return PulseDaemon::muteOf(sink); }

private Q_SLOTS:
    void initTestCase()
    {
        m_skipReason = m_pulse.start();
        if (!m_skipReason.isEmpty())
            qWarning("%s", qPrintable(m_skipReason));
    }

    void init()
    {
        m_pulse.useServer();
    }

    void cleanupTestCase()
    {
        m_pulse.stop();
    }

    void toggleFlipsDefaultOutput()
    {
        requireDaemon();
        QVERIFY(pactl({QStringLiteral("set-sink-mute"), QStringLiteral("kavotest"), QStringLiteral("0")}));
        QCOMPARE(SystemMute::isMuted(), std::optional<bool>(false));

        QVERIFY(SystemMute::toggle());
        QCOMPARE(muteOf(QStringLiteral("@DEFAULT_SINK@")), QStringLiteral("yes"));
        QCOMPARE(SystemMute::isMuted(), std::optional<bool>(true));

        QVERIFY(SystemMute::toggle());
        QCOMPARE(muteOf(QStringLiteral("@DEFAULT_SINK@")), QStringLiteral("no"));
        QCOMPARE(SystemMute::isMuted(), std::optional<bool>(false));
    }

    void togglesOnlyTheCurrentDefault()
    {
        requireDaemon();
        QString module;
        QVERIFY(pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                       QStringLiteral("sink_name=kavoother")},
                      &module));
        QVERIFY(pactl({QStringLiteral("set-default-sink"), QStringLiteral("kavoother")}));
        QVERIFY(pactl({QStringLiteral("set-sink-mute"), QStringLiteral("kavotest"), QStringLiteral("0")}));
        QVERIFY(pactl({QStringLiteral("set-sink-mute"), QStringLiteral("kavoother"), QStringLiteral("0")}));

        const bool toggled = SystemMute::toggle();
        const QString other = muteOf(QStringLiteral("kavoother"));
        const QString first = muteOf(QStringLiteral("kavotest"));
        pactl({QStringLiteral("set-default-sink"), QStringLiteral("kavotest")});
        pactl({QStringLiteral("unload-module"), module});

        QVERIFY(toggled);
        QCOMPARE(other, QStringLiteral("yes"));
        QCOMPARE(first, QStringLiteral("no"));
    }

    void noServerReturnsQuickly()
    {
        PulseDaemon::setServer(m_pulse.tempPath(QStringLiteral("nobody-here")));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!SystemMute::toggle());
        QCOMPARE(SystemMute::isMuted(), std::nullopt);
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }

    void silentServerTimesOut()
    {
        // Accepts connections (the kernel does) but never says a word.
        QLocalServer silent;
        const QString path = m_pulse.tempPath(QStringLiteral("silent"));
        QVERIFY(silent.listen(path));
        PulseDaemon::setServer(path);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!SystemMute::toggle());
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestSystemMute)
#include "tst_systemmute.moc"
