#include "support/sessionbus.h"

#include <QDeadlineTimer>

PrivateSessionBus::PrivateSessionBus()
{
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    // Read before any event loop runs.
    const QDeadlineTimer deadline(10000);
    QByteArray out;
    while (!out.contains('\n') && !deadline.hasExpired() && m_bus.state() != QProcess::NotRunning) {
        m_bus.waitForReadyRead(100);
        out += m_bus.readAllStandardOutput();
    }
    if (out.contains('\n'))
        m_address = out.trimmed();
}

PrivateSessionBus::~PrivateSessionBus()
{
    m_bus.terminate();
    if (!m_bus.waitForFinished(5000))
        m_bus.kill();
}
