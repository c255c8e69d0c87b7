#include "support/trayhost.h"

#include "support/eventwait.h"
#include "support/x11probe.h"

#include <QDeadlineTimer>
#include <QPoint>
#include <QTest>

namespace
{
// The host announces itself by taking the selection; the event loop runs
// meanwhile (support/eventwait.h).
bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    return KavoTest::WaitUntil(done, timeoutMs);
}
} // namespace

TrayHost::TrayHost()
{
    if (X11Probe::trayHost()) {
        // Another host already holds the area; there is nothing to stop later.
        m_running = true;
        return;
    }
    m_process.setProgram(QStringLiteral("trayer"));
    m_process.setArguments({QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"),
                            QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                            QStringLiteral("--height"), QStringLiteral("28"), QStringLiteral("--transparent"),
                            QStringLiteral("false"), QStringLiteral("--tint"), QStringLiteral("0x2f4f6f")});
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start();
    m_running = m_process.waitForStarted(10000) && waitFor([] { return X11Probe::trayHost() != 0; }, 20000);
}

TrayHost::~TrayHost()
{
    stop();
}

void TrayHost::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
    waitFor([] { return X11Probe::trayHost() == 0; }, 10000);
    m_running = false;
}

bool Xdotool(const QStringList &arguments)
{
    QProcess xdo;
    xdo.start(QStringLiteral("xdotool"), arguments);
    return xdo.waitForFinished(10000) && xdo.exitStatus() == QProcess::NormalExit && xdo.exitCode() == 0;
}

bool ClickAt(const QPoint &screenPos, int button)
{
    const QPoint native = X11Probe::toNative(screenPos);
    return Xdotool({QStringLiteral("mousemove"), QString::number(native.x()), QString::number(native.y()),
                    QStringLiteral("click"), QString::number(button)});
}
