#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Reads the portal's notice file without holding up the caller: start()
// returns at once and finished() comes once, later, from the event loop.
//
// The text is empty when the read failed: no connection, an HTTP status
// other than 2xx, a body larger than MaxBytes, or no complete answer within
// the time-out (counted from start(), however slowly the bytes still come).
// Deleting the object, or abort(), ends a read without finished().
class NoticeFetch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NoticeFetch)

public:
    static constexpr qint64 MaxBytes = 64 * 1024;

    NoticeFetch(const QUrl &url, int timeoutMs, QObject *parent = nullptr);
    ~NoticeFetch() override;

    void start();
    void abort();
    bool isRunning() const { return m_reply != nullptr; }
    // Time since start() (for the record of how long a read took).
    qint64 elapsedMs() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }

Q_SIGNALS:
    void finished(const QString &text);

private:
    void onFinished();
    void end(const QString &text);

    QUrl m_url;
    QNetworkAccessManager *m_network = nullptr;
    QNetworkReply *m_reply = nullptr;
    QTimer m_deadline;
    QElapsedTimer m_clock;
};

// The notice's bytes as text: UTF-8 when they are valid UTF-8 (plain ASCII
// is), otherwise the Chinese Windows code page the portal's files are kept in.
QString NoticeText(const QByteArray &bytes);
