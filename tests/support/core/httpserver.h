#pragma once

// A web server for tests on a free loopback port, run on its own thread (it
// answers while a test blocks the GUI thread). Two ways to answer:
//  - fixed pages, set by path at any time (setPage); any page may be read by
//    pages of other origins and is never cached;
//  - handlers of the test's own on server(), registered before start()
//    (the test includes <httplib.h>; this header keeps its system macros out).
// A path neither knows answers 404 with a short page. Every request is kept
// as its path plus query.

#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <thread>

namespace httplib
{
class Server;
}

class HttpServer
{
public:
    HttpServer();
    ~HttpServer();
    HttpServer(const HttpServer &) = delete;
    HttpServer &operator=(const HttpServer &) = delete;

    httplib::Server &server() { return *m_server; }
    void setPage(const QString &path, const QByteArray &body, int status = 200,
                 const QByteArray &contentType = "text/html; charset=utf-8");

    bool start();
    void stop();
    // Sleeps up to `ms` in a handler; false, and at once, when the server stops.
    bool nap(int ms) const;

    // "http://127.0.0.1:<port>/"
    QString baseUrl() const;
    // The address of `path` ("/a.swf") on this server.
    QString url(const QString &path) const;
    // Every request so far as path plus query, oldest first.
    QStringList requests() const;
    void clearRequests();

    // A loopback port on which nothing listens (connections are refused).
    static int closedPort();
    // Deterministic bytes that do not look repeated.
    static QByteArray pattern(qint64 size, quint32 seed = 1);

private:
    struct Page
    {
        QByteArray body;
        int status = 200;
        QByteArray contentType;
    };

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    int m_port = 0;
    mutable QMutex m_mutex;
    QMap<QString, Page> m_pages;
    QStringList m_requests;
};
