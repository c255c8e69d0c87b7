#include "support/westonsession.h"

#include "support/eventwait.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>

WestonSession::WestonSession() = default;

WestonSession::~WestonSession()
{
    if (m_weston.state() == QProcess::NotRunning)
        return;
    m_weston.terminate();
    if (!m_weston.waitForFinished(5000)) {
        m_weston.kill();
        m_weston.waitForFinished(2000);
    }
}

bool WestonSession::start()
{
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (weston.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("Xwayland")).isEmpty()) {
        m_error = QStringLiteral("weston or Xwayland is not installed (Debian packages weston, xwayland)");
        return false;
    }
    if (!m_runtime.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_socket = QStringLiteral("kavo-test-wayland");
    const QString log = m_runtime.filePath(QStringLiteral("weston.log"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_weston.setProcessEnvironment(env);
    m_weston.setProcessChannelMode(QProcess::MergedChannels);
    m_weston.setStandardOutputFile(m_runtime.filePath(QStringLiteral("weston.out")));
    // A test that crashes must not leave its compositor behind.
    m_weston.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_weston.start(weston, {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--use-pixman"),
                            QStringLiteral("--width=1280"), QStringLiteral("--height=800"),
                            QStringLiteral("--socket=") + m_socket, QStringLiteral("--xwayland"),
                            QStringLiteral("--idle-time=0"), QStringLiteral("--no-config"),
                            QStringLiteral("--log=") + log});
    if (!m_weston.waitForStarted(10000)) {
        m_error = QStringLiteral("weston did not start: ") + m_weston.errorString();
        return false;
    }
    const auto logText = [&] {
        QFile f(log);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    // The socket, and the X display Weston reserved for XWayland.
    static const QRegularExpression listening(QStringLiteral("xserver listening on display (:\\d+)"));
    const bool up = KavoTest::WaitUntil([&] {
        if (m_weston.state() != QProcess::Running)
            return true;
        const QRegularExpressionMatch m = listening.match(logText());
        if (m.hasMatch())
            m_xDisplay = m.captured(1);
        return !m_xDisplay.isEmpty() && QFileInfo::exists(m_runtime.filePath(m_socket));
    }, 30000);
    // XWayland itself: Weston starts it on the first X client, this one.
    const bool xUp = up && !m_xDisplay.isEmpty() && KavoTest::WaitUntil([&] {
        return m_weston.state() != QProcess::Running || x(QStringLiteral("xdpyinfo"), {});
    }, 30000);
    const bool wmUp = xUp && KavoTest::WaitUntil([&] { return logText().contains(QStringLiteral("created wm")); }, 30000);
    if (!wmUp || m_weston.state() != QProcess::Running) {
        m_error = QStringLiteral("weston did not come up: ") + logText().right(2000);
        return false;
    }
    return true;
}

QProcessEnvironment WestonSession::environment(Displays displays) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), m_socket);
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    if (displays == Both)
        env.insert(QStringLiteral("DISPLAY"), m_xDisplay);
    else
        env.remove(QStringLiteral("DISPLAY"));
    return env;
}

bool WestonSession::x(const QString &program, const QStringList &arguments, QByteArray *output) const
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_xDisplay);
    tool.setProcessEnvironment(env);
    tool.start(program, arguments);
    const bool ok = tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    if (output)
        *output = tool.readAllStandardOutput();
    return ok;
}
