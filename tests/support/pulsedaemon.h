#pragma once

// A private sound server for mute tests: a PulseAudio daemon with a null
// output "kavotest" as the default, reached only through this process's
// environment (HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR, PULSE_RUNTIME_PATH and
// PULSE_SERVER point into a temporary folder until stop()).
//
//     PulseDaemon pulse;
//     const QString why = pulse.start();   // empty when it runs
//     if (!why.isEmpty()) QSKIP(qPrintable(why));
//     QCOMPARE(PulseDaemon::muteOf("@DEFAULT_SINK@"), QString("no"));
//
// Header only, so tests with and without widgets can use it.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

class PulseDaemon
{
public:
    static constexpr const char *Sink = "kavotest";

    PulseDaemon() = default;
    ~PulseDaemon() { stop(); }
    PulseDaemon(const PulseDaemon &) = delete;
    PulseDaemon &operator=(const PulseDaemon &) = delete;

    // Starts the daemon and points the environment at it. Returns why it
    // could not (not installed, did not answer), or an empty text.
    QString start()
    {
        if (!m_tmp.isValid())
            return QStringLiteral("no temporary folder");
        const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (pulseaudio.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty())
            return QStringLiteral("pulseaudio or pactl is not installed");

        for (const char *name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "PULSE_RUNTIME_PATH", "PULSE_SERVER"})
            m_saved.insert(QByteArray(name), qgetenv(name));
        const QString home = m_tmp.filePath(QStringLiteral("home"));
        const QString runtime = m_tmp.filePath(QStringLiteral("run"));
        QDir().mkpath(home);
        QDir().mkpath(runtime + QStringLiteral("/pulse"));
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_socket = runtime + QStringLiteral("/pulse/native");
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("PULSE_RUNTIME_PATH", QFile::encodeName(runtime + QStringLiteral("/pulse")));
        useServer();

        // -n and --system=false let it run for root too; no shared memory, no
        // real-time scheduling and no pid file keep it inside the test.
        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        m_daemon.start(pulseaudio,
                       {QStringLiteral("--daemonize=no"), QStringLiteral("-n"),
                        QStringLiteral("--system=false"), QStringLiteral("--exit-idle-time=-1"),
                        QStringLiteral("--disable-shm=yes"), QStringLiteral("--use-pid-file=no"),
                        QStringLiteral("--realtime=no"), QStringLiteral("--high-priority=no"),
                        QStringLiteral("--log-target=stderr"),
                        QStringLiteral("--load=module-null-sink sink_name=") + QLatin1String(Sink),
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
        if (!pactl({QStringLiteral("set-default-sink"), QLatin1String(Sink)}))
            return QStringLiteral("the null sink could not be made the default");
        return QString();
    }

    // Ends the daemon and restores the environment.
    void stop()
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
                qunsetenv(it.key().constData());
            else
                qputenv(it.key().constData(), it.value());
        }
        m_saved.clear();
    }

    // Points PULSE_SERVER at this daemon again, or at a socket path where
    // nobody (or something else) listens.
    void useServer() { setServer(m_socket); }
    static void setServer(const QString &socketPath)
    {
        qputenv("PULSE_SERVER", QFile::encodeName(QStringLiteral("unix:") + socketPath));
    }

    QString tempPath(const QString &name) const { return m_tmp.filePath(name); }

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

private:
    // A short path: the socket path must fit the address of a local socket.
    QTemporaryDir m_tmp{QStringLiteral("/tmp/kavomute-XXXXXX")};
    QProcess m_daemon;
    QString m_socket;
    QHash<QByteArray, QByteArray> m_saved;
};
