#include "support/inputmethod.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

namespace
{
// Asks `check` until it holds or `ms` have passed; runs before any event loop.
template <typename Check> bool poll(Check check, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!check()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}
} // namespace

InputMethodSession::~InputMethodSession()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        ibus({QStringLiteral("exit")});
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }
    if (m_bus.state() != QProcess::NotRunning) {
        m_bus.terminate();
        if (!m_bus.waitForFinished(5000)) {
            m_bus.kill();
            m_bus.waitForFinished(5000);
        }
    }
}

bool InputMethodSession::fail(const QString &why)
{
    m_error = why;
    return false;
}

QString InputMethodSession::ibus(const QStringList &arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(m_env);
    tool.start(QStringLiteral("ibus"), arguments);
    if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit)
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QString InputMethodSession::engine() const
{
    return ibus({QStringLiteral("engine")});
}

bool InputMethodSession::start(const QString &engine)
{
    if (!m_home.isValid())
        return fail(QStringLiteral("no temporary folder"));
    m_env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
        const QString dir = m_home.filePath(QString::fromLatin1(name));
        QDir().mkpath(dir);
        m_env.insert(QString::fromLatin1(name), dir);
    }

    m_bus.setProcessEnvironment(m_env);
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!m_bus.waitForStarted(10000))
        return fail(QStringLiteral("dbus-daemon does not start"));
    QByteArray address;
    if (!poll([&] {
            m_bus.waitForReadyRead(100);
            address += m_bus.readAllStandardOutput();
            return address.contains('\n') || m_bus.state() == QProcess::NotRunning;
        }, 10000) || !address.contains('\n'))
        return fail(QStringLiteral("dbus-daemon gives no address"));
    m_env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(address.trimmed()));

    m_daemon.setProcessEnvironment(m_env);
    m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_daemon.start(QStringLiteral("ibus-daemon"), {QStringLiteral("--panel=disable"), QStringLiteral("--replace"),
                                                    QStringLiteral("--cache=none"), QStringLiteral("--desktop=kavo-test")});
    if (!m_daemon.waitForStarted(10000))
        return fail(QStringLiteral("ibus-daemon does not start (is the package ibus installed?)"));
    QString ibusAddress;
    if (!poll([&] {
            ibusAddress = ibus({QStringLiteral("address")});
            return ibusAddress.startsWith(QLatin1String("unix:")) || m_daemon.state() == QProcess::NotRunning;
        }, 20000) || !ibusAddress.startsWith(QLatin1String("unix:")))
        return fail(QStringLiteral("ibus-daemon never answers on its bus"));
    // The tool may end non-zero although the engine was chosen: the daemon's
    // own answer counts.
    if (!poll([&] {
            ibus({QStringLiteral("engine"), engine});
            return this->engine() == engine;
        }, 20000))
        return fail(QStringLiteral("the engine %1 cannot be chosen (is it installed?)").arg(engine));

    // The toolkit reads the daemon's address from the file the daemon
    // writes for its display.
    const QDir busFiles(m_env.value(QStringLiteral("XDG_CONFIG_HOME")) + QStringLiteral("/ibus/bus"));
    const QStringList files = busFiles.entryList(QDir::Files);
    if (files.size() != 1)
        return fail(QStringLiteral("ibus-daemon wrote %1 address files").arg(files.size()));
    qputenv("IBUS_ADDRESS_FILE", QFile::encodeName(busFiles.filePath(files.first())));
    qputenv("QT_IM_MODULE", "ibus");
    return true;
}
