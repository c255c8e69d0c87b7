#include "portalserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <sys/prctl.h>

namespace {

QStringList fileLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString switchValue(const QStringList &switches, const QString &name)
{
    const int i = switches.indexOf(name);
    return i >= 0 && i + 1 < switches.size() ? switches.at(i + 1) : QString();
}

} // namespace

PortalServer::PortalServer() = default;

PortalServer::~PortalServer()
{
    stop();
}

QString PortalServer::binaryPath()
{
    return QStringLiteral(KAVO_PORTAL_BIN);
}

QString PortalServer::gamesDir()
{
    return QFileInfo(binaryPath()).absolutePath() + QStringLiteral("/site/games");
}

QString PortalServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

bool PortalServer::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

bool PortalServer::start(const QStringList &switches)
{
    stop();
    m_error.clear();
    m_statsLog = switchValue(switches, QStringLiteral("--stats-log"));
    if (m_statsLog.isEmpty())
        m_statsLog = m_dir.filePath(QStringLiteral("tj.log"));
    m_accessLog = switchValue(switches, QStringLiteral("--access-log"));
    if (m_accessLog.isEmpty())
        m_accessLog = m_dir.filePath(QStringLiteral("access.log"));
    QFile::remove(m_statsLog);
    QFile::remove(m_accessLog);

    QStringList args{QStringLiteral("--port"), QStringLiteral("0")};
    if (!switches.contains(QStringLiteral("--stats-log")))
        args << QStringLiteral("--stats-log") << m_statsLog;
    if (!switches.contains(QStringLiteral("--access-log")))
        args << QStringLiteral("--access-log") << m_accessLog;
    args << switches; // a later --port in the switches wins

    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    // A test that crashes must not leave its portal behind.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(binaryPath(), args);
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(binaryPath(), m_process.errorString());
        return false;
    }
    // The first line of output names the port: "listening N".
    QDeadlineTimer deadline(10000);
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || m_process.state() != QProcess::Running) {
            m_error = QStringLiteral("portal did not start: %1")
                          .arg(QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed());
            stop();
            return false;
        }
        m_process.waitForReadyRead(100);
    }
    const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
    bool ok = false;
    m_port = line.section(QLatin1Char(' '), 1).toInt(&ok);
    if (!line.startsWith(QLatin1String("listening ")) || !ok || m_port <= 0) {
        m_error = QStringLiteral("unexpected first line from the portal: ") + line;
        stop();
        return false;
    }
    return true;
}

void PortalServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(m_process.processId()), SIGTERM);
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QStringList PortalServer::statsIds() const
{
    return fileLines(m_statsLog);
}

QStringList PortalServer::requests() const
{
    QStringList targets;
    for (const QString &line : fileLines(m_accessLog))
        targets << line.section(QLatin1Char(' '), 1, 1);
    return targets;
}
