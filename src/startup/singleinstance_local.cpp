// Local-socket backend of the single-instance service: a lock file claims the
// name, a local server of the same name takes the hand-offs.
#include "startup/singleinstance.h"

#include "startup/handoff.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QTimer>

namespace
{
// A connection that has not sent a whole message by then is dropped.
constexpr int READ_TIMEOUT_MS = 5000;
} // namespace

class SingleInstance::Impl
{
public:
    Impl(SingleInstance *q, const QString &name)
        : m_name(name)
        , m_lock(QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral(".lock"))
    {
        // Only the death of the holder frees the claim, never its age.
        m_lock.setStaleLockTime(0);
        if (m_lock.tryLock(0)) {
            m_running = true;
            listen(q);
        } else {
            // Held by a live process: that one runs. Any other failure (an
            // unwritable folder) cannot prove another instance, so this one runs.
            m_running = m_lock.error() != QLockFile::LockFailedError;
        }
    }

    bool running() const { return m_running; }

    bool handOff(const QString &commandLine, int timeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        const QByteArray message = EncodeHandOff(commandLine);
        // The running instance may hold the claim a moment before it listens.
        while (!deadline.hasExpired()) {
            QLocalSocket socket;
            socket.connectToServer(m_name);
            if (socket.waitForConnected(int(std::max<qint64>(deadline.remainingTime(), 1)))) {
                socket.write(message);
                while (socket.bytesToWrite() > 0 && !deadline.hasExpired())
                    socket.waitForBytesWritten(int(std::max<qint64>(deadline.remainingTime(), 1)));
                while (!deadline.hasExpired()) {
                    if (socket.bytesAvailable() > 0 || socket.waitForReadyRead(int(std::max<qint64>(deadline.remainingTime(), 1))))
                        return socket.read(1) == QByteArray(1, HandOffAccepted);
                    if (socket.state() != QLocalSocket::ConnectedState)
                        return false;
                }
                return false;
            }
            QThread::msleep(50);
        }
        return false;
    }

private:
    void listen(SingleInstance *q)
    {
        // A socket left by a killed instance would refuse the name.
        QLocalServer::removeServer(m_name);
        m_server = std::make_unique<QLocalServer>();
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        if (!m_server->listen(m_name))
            return;
        QObject::connect(m_server.get(), &QLocalServer::newConnection, q, [this, q] {
            while (QLocalSocket *socket = m_server->nextPendingConnection())
                take(q, socket);
        });
    }

    static void take(SingleInstance *q, QLocalSocket *socket)
    {
        auto *buffer = new QByteArray;
        auto *timer = new QTimer(socket);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, socket, &QLocalSocket::abort);
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QObject::destroyed, [buffer] { delete buffer; });
        QObject::connect(socket, &QLocalSocket::readyRead, q, [q, socket, buffer] {
            buffer->append(socket->readAll());
            const HandOffMessage m = DecodeHandOff(*buffer);
            if (m.state == HandOffMessage::State::Incomplete)
                return;
            socket->disconnect(q);
            if (m.state == HandOffMessage::State::Complete) {
                socket->write(QByteArray(1, HandOffAccepted));
                socket->flush();
                Q_EMIT q->handedOver(m.commandLine);
            }
            socket->disconnectFromServer();
        });
        timer->start(READ_TIMEOUT_MS);
    }

    QString m_name;
    QLockFile m_lock;
    // Closed before the claim is given up: closing removes the socket file,
    // which by then could be the next instance's.
    std::unique_ptr<QLocalServer> m_server;
    bool m_running = false;
};

SingleInstance::SingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>(this, name))
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isRunningInstance() const
{
    return m_impl->running();
}

bool SingleInstance::handOff(const QString &commandLine, int timeoutMs)
{
    return m_impl->running() ? false : m_impl->handOff(commandLine, timeoutMs);
}
