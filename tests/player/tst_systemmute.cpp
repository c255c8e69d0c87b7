#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include "player/systemmute.h"

// Runs against a private sound server with null outputs, started here and
// reached only through this process's environment.
class TestSystemMute : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp{QStringLiteral("/tmp/kavomute-XXXXXX")};
    QProcess m_daemon;
    QString m_socket;
    QString m_skipReason;
    QStringList m_savedNames{QStringLiteral("HOME"), QStringLiteral("XDG_RUNTIME_DIR"),
                             QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("PULSE_RUNTIME_PATH"),
                             QStringLiteral("PULSE_SERVER")};
    QHash<QString, QByteArray> m_saved;

    static bool pactl(const QStringList &args, QString *out = nullptr)
    {
        QProcess proc;
        proc.start(QStringLiteral("pactl"), args);
        if (!proc.waitForFinished(10000)) {
            proc.kill();
            proc.waitForFinished();
            return false;
        }
        if (out)
            *out = QString::fromUtf8(proc.readAllStandardOutput()).trimmed();
        return proc.exitStatus() == QProcess::NormalExit && proc.exitCode() == 0;
    }

    // "yes"/"no" as pactl reports the mute of `sink`, empty on failure.
    static QString muteOf(const QString &sink)
    {
        QString out;
        if (!pactl({QStringLiteral("get-sink-mute"), sink}, &out))
            return QString();
        return out.section(QLatin1Char(':'), 1).trimmed();
    }

    void setServer(const QString &socketPath)
    {
        qputenv("PULSE_SERVER", QFile::encodeName(QStringLiteral("unix:") + socketPath));
    }

    QString startDaemon()
    {
        const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (pulseaudio.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty())
            return QStringLiteral("pulseaudio or pactl is not installed");

        // -n and --system=false let it run for root too; no shared memory, no
        // real-time scheduling and no pid file keep it inside this test.
        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        m_daemon.start(pulseaudio,
                       {QStringLiteral("--daemonize=no"), QStringLiteral("-n"),
                        QStringLiteral("--system=false"), QStringLiteral("--exit-idle-time=-1"),
                        QStringLiteral("--disable-shm=yes"), QStringLiteral("--use-pid-file=no"),
                        QStringLiteral("--realtime=no"), QStringLiteral("--high-priority=no"),
                        QStringLiteral("--log-target=stderr"),
                        QStringLiteral("--load=module-null-sink sink_name=kavotest"),
                        QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=")
                            + m_socket});
        if (!m_daemon.waitForStarted(5000))
            return QStringLiteral("pulseaudio did not start: ") + m_daemon.errorString();

        QElapsedTimer waited;
        waited.start();
        while (!pactl({QStringLiteral("info")})) {
            if (m_daemon.state() != QProcess::Running || waited.elapsed() > 15000) {
                const QString log = QString::fromLocal8Bit(m_daemon.readAll()).trimmed();
                return QStringLiteral("pulseaudio did not answer: ") + log.right(500);
            }
            QThread::msleep(100);
        }
        if (!pactl({QStringLiteral("set-default-sink"), QStringLiteral("kavotest")}))
            return QStringLiteral("the null sink could not be made the default");
        return QString();
    }

    void requireDaemon()
    {
        if (!m_skipReason.isEmpty())
            QSKIP(qPrintable(m_skipReason));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        for (const QString &name : m_savedNames)
            m_saved.insert(name, qgetenv(name.toLatin1().constData()));

        const QString home = m_tmp.filePath(QStringLiteral("home"));
        const QString runtime = m_tmp.filePath(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(home));
        QVERIFY(QDir().mkpath(runtime + QStringLiteral("/pulse")));
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_socket = runtime + QStringLiteral("/pulse/native");

        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("PULSE_RUNTIME_PATH", QFile::encodeName(runtime + QStringLiteral("/pulse")));
        setServer(m_socket);

        m_skipReason = startDaemon();
        if (!m_skipReason.isEmpty())
            qWarning("%s", qPrintable(m_skipReason));
    }

    void init()
    {
        setServer(m_socket);
    }

    void cleanupTestCase()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            if (!m_daemon.waitForFinished(5000)) {
                m_daemon.kill();
                m_daemon.waitForFinished();
            }
        }
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            if (it.value().isNull())
                qunsetenv(it.key().toLatin1().constData());
            else
                qputenv(it.key().toLatin1().constData(), it.value());
        }
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
        setServer(m_tmp.filePath(QStringLiteral("nobody-here")));
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
        const QString path = m_tmp.filePath(QStringLiteral("silent"));
        QVERIFY(silent.listen(path));
        setServer(path);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!SystemMute::toggle());
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestSystemMute)
#include "tst_systemmute.moc"
