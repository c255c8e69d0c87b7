#include "support/inputmethod.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

namespace
{
// Asks `check` until it holds or ten seconds have passed; runs before any
// event loop.
template <typename Check> bool poll(Check check)
{
    const QDeadlineTimer deadline(10000);
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
        if (!m_daemon.waitForFinished(5000))
            m_daemon.kill();
    }
    m_daemon.waitForFinished(5000);
}

QString InputMethodSession::ibus(const QStringList &arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(m_env);
    tool.start(QStringLiteral("ibus"), arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

bool InputMethodSession::start(const QString &engine)
{
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
        m_env.insert(QString::fromLatin1(name), m_home.filePath(QString::fromLatin1(name)));
        QDir().mkpath(m_env.value(QString::fromLatin1(name)));
    }
    if (m_bus.address().isEmpty()) {
        m_error = QStringLiteral("dbus-daemon gives no address");
        return false;
    }
    m_env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(m_bus.address()));

    m_daemon.setProcessEnvironment(m_env);
    m_daemon.start(QStringLiteral("ibus-daemon"),
                   {QStringLiteral("--panel=disable"), QStringLiteral("--replace"), QStringLiteral("--cache=none")});
    // The tool may end non-zero although the engine was chosen: the daemon's
    // own answer counts.
    if (!poll([&] { return ibus({QStringLiteral("address")}).startsWith(QLatin1String("unix:")); })
        || !poll([&] {
               ibus({QStringLiteral("engine"), engine});
               return ibus({QStringLiteral("engine")}) == engine;
           })) {
        m_error = QStringLiteral("ibus-daemon does not run the engine %1 (are ibus and the engine installed?)")
                      .arg(engine);
        return false;
    }
    // The toolkit reads the daemon's address from the file the daemon
    // writes for its display.
    const QDir busFiles(m_env.value(QStringLiteral("XDG_CONFIG_HOME")) + QStringLiteral("/ibus/bus"));
    const QStringList files = busFiles.entryList(QDir::Files);
    if (files.size() != 1) {
        m_error = QStringLiteral("ibus-daemon wrote %1 address files").arg(files.size());
        return false;
    }
    qputenv("IBUS_ADDRESS_FILE", QFile::encodeName(busFiles.filePath(files.first())));
    qputenv("QT_IM_MODULE", "ibus");
    return true;
}
