#include "support/httpfixture.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

HttpFixture::HttpFixture() = default;

HttpFixture::~HttpFixture()
{
    stop();
}

void HttpFixture::setPage(const QString &path, const QByteArray &body, int status,
                          const QByteArray &contentType)
{
    QMutexLocker lock(&m_mutex);
    m_pages.insert(path, Page{body, status, contentType});
}

bool HttpFixture::start()
{
    if (m_server)
        return true;
    m_thread = new QThread;
    m_thread->start();
    m_server = new QTcpServer;
    m_server->moveToThread(m_thread);
    bool listening = false;
    QMetaObject::invokeMethod(m_server, [this, &listening] {
        QObject::connect(m_server, &QTcpServer::newConnection, m_server, [this] {
            while (QTcpSocket *socket = m_server->nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (socket->property("answered").toBool())
                        return;
                    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
                    socket->setProperty("request", request);
                    if (!request.contains("\r\n\r\n"))
                        return;
                    socket->setProperty("answered", true);
                    socket->write(answer(request));
                    socket->disconnectFromHost();
                });
            }
        });
        listening = m_server->listen(QHostAddress::LocalHost, 0);
        m_port = m_server->serverPort();
    }, Qt::BlockingQueuedConnection);
    if (!listening)
        stop();
    return listening;
}

QByteArray HttpFixture::answer(const QByteArray &request)
{
    const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
    const QString target = line.size() >= 2 ? QString::fromLatin1(line.at(1)) : QString();
    const QString path = target.left(target.indexOf(QLatin1Char('?')) < 0 ? target.size()
                                                                          : target.indexOf(QLatin1Char('?')));
    Page page{"<html><body>not found</body></html>", 404, "text/html"};
    {
        QMutexLocker lock(&m_mutex);
        m_requests.append(target);
        page = m_pages.value(path, page);
    }
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(page.status) + " Fixture\r\n";
    reply += "Content-Type: " + page.contentType + "\r\n";
    reply += "Content-Length: " + QByteArray::number(page.body.size()) + "\r\n";
    // Pages of any origin may read it, as a game's own server would allow.
    reply += "Access-Control-Allow-Origin: *\r\n";
    reply += "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
    return reply + page.body;
}

void HttpFixture::stop()
{
    if (!m_thread)
        return;
    QMetaObject::invokeMethod(m_server, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
    m_server = nullptr;
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

QString HttpFixture::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

QStringList HttpFixture::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

void HttpFixture::clearRequests()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
}

int HttpFixture::closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return port;
}
