#pragma once

// A small HTTP server on a free loopback port, run on its own thread for the
// download tests. Routes are registered on server() before start().

#include <httplib.h>

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

class HttpTestServer
{
public:
    HttpTestServer() = default;
    ~HttpTestServer() { stop(); }

    httplib::Server &server() { return m_server; }

    bool start()
    {
        // Idle keep-alive connections must not hold up stop().
        m_server.set_keep_alive_timeout(1);
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            return false;
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        return true;
    }

    void stop()
    {
        m_stopping = true;
        if (m_thread.joinable()) {
            m_server.stop();
            m_thread.join();
        }
    }

    // True once stop() began: long-running handlers end when they see it.
    bool stopping() const { return m_stopping; }

    // Sleeps up to `ms`, returning early (false) when the server stops.
    bool nap(int ms) const
    {
        for (int waited = 0; waited < ms; waited += 10) {
            if (m_stopping)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return !m_stopping;
    }

    int port() const { return m_port; }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
    }

    // Deterministic, non-repeating-looking test data.
    static QByteArray pattern(qint64 size, quint32 seed = 1)
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

private:
    httplib::Server m_server;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    int m_port = 0;
};
