#pragma once

#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QStringList>

class QThread;
class QTcpServer;

// A small web server for tests: serves fixed pages from a map of path to body
// on a free loopback port, on its own thread (so it answers while a test
// blocks the GUI thread). Unknown paths answer 404. GET only, one request per
// connection.
class HttpFixture
{
public:
    struct Page
    {
        QByteArray body;
        int status = 200;
        QByteArray contentType;
    };

    HttpFixture();
    ~HttpFixture();
    HttpFixture(const HttpFixture &) = delete;
    HttpFixture &operator=(const HttpFixture &) = delete;

    // Pages may be set before or after start().
    void setPage(const QString &path, const QByteArray &body, int status = 200,
                 const QByteArray &contentType = "text/html; charset=utf-8");
    bool start();
    void stop();

    int port() const { return m_port; }
    // "http://127.0.0.1:<port>/"
    QString baseUrl() const;
    // Every request served so far as path plus query, oldest first.
    QStringList requests() const;
    void clearRequests();

    // A loopback port on which nothing listens (connections are refused).
    static int closedPort();

private:
    QByteArray answer(const QByteArray &request);

    QThread *m_thread = nullptr;
    QTcpServer *m_server = nullptr;
    int m_port = 0;
    mutable QMutex m_mutex;
    QMap<QString, Page> m_pages;
    QStringList m_requests;
};
