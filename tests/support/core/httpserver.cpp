#include "support/core/httpserver.h"

#include <httplib.h>

#include <QTcpServer>

#include <chrono>

namespace
{
void answer(httplib::Response &res, int status, const QByteArray &body, const QByteArray &contentType)
{
    res.status = status;
    res.set_content(body.constData(), size_t(body.size()), contentType.constData());
    // Pages of any origin may read it, as a game's own server would allow.
    res.set_header("Access-Control-Allow-Origin", "*");
    res.set_header("Cache-Control", "no-store");
}
}

HttpServer::HttpServer() : m_server(std::make_unique<httplib::Server>()) {}

HttpServer::~HttpServer()
{
    stop();
}

void HttpServer::setPage(const QString &path, const QByteArray &body, int status, const QByteArray &contentType)
{
    QMutexLocker lock(&m_mutex);
    m_pages.insert(path, Page{body, status, contentType});
}

bool HttpServer::start()
{
    m_server->set_pre_routing_handler([this](const httplib::Request &req, httplib::Response &res) {
        QMutexLocker lock(&m_mutex);
        m_requests.append(QString::fromStdString(req.target));
        const auto page = m_pages.constFind(QString::fromStdString(req.path));
        if (page == m_pages.cend())
            return httplib::Server::HandlerResponse::Unhandled;
        answer(res, page->status, page->body, page->contentType);
        return httplib::Server::HandlerResponse::Handled;
    });
    m_server->set_error_handler([](const httplib::Request &, httplib::Response &res) {
        if (res.status == 404 && res.body.empty())
            answer(res, 404, "<html><body>not found</body></html>", "text/html");
    });
    // Idle keep-alive connections must not hold up stop().
    m_server->set_keep_alive_timeout(1);
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        return false;
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    return true;
}

void HttpServer::stop()
{
    m_stopping = true;
    if (m_thread.joinable()) {
        m_server->stop();
        m_thread.join();
    }
}

bool HttpServer::nap(int ms) const
{
    for (int waited = 0; waited < ms; waited += 10) {
        if (m_stopping)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return !m_stopping;
}

QString HttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

QString HttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

QStringList HttpServer::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

void HttpServer::clearRequests()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
}

int HttpServer::closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return port;
}

QByteArray HttpServer::pattern(qint64 size, quint32 seed)
{
    QByteArray data(size, Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 12345u;
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        data[i] = char(x & 0xff);
    }
    return data;
}
