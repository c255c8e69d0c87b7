#include "services/noticefetch.h"

#include "common/textcodec.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>

NoticeFetch::NoticeFetch(const QUrl &url, int timeoutMs, QObject *parent)
    : QObject(parent)
    , m_url(url)
    , m_network(new QNetworkAccessManager(this))
{
    m_deadline.setSingleShot(true);
    // A coarse timer may end the read up to 5% early.
    m_deadline.setTimerType(Qt::PreciseTimer);
    m_deadline.setInterval(timeoutMs);
    connect(&m_deadline, &QTimer::timeout, this, [this] { end(QString()); });
}

NoticeFetch::~NoticeFetch()
{
    abort();
}

void NoticeFetch::start()
{
    abort();
    QNetworkRequest request(m_url);
    // The notice must be the portal's current one.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    m_clock.start();
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::finished, this, &NoticeFetch::onFinished);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > MaxBytes)
            end(QString());
    });
    m_deadline.start();
}

void NoticeFetch::abort()
{
    m_deadline.stop();
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void NoticeFetch::onFinished()
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = m_reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
    const QByteArray body = ok ? m_reply->read(MaxBytes + 1) : QByteArray();
    end(ok && body.size() <= MaxBytes ? NoticeText(body) : QString());
}

void NoticeFetch::end(const QString &text)
{
    abort();
    Q_EMIT finished(text);
}

QString NoticeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? TextCodec::fromAnsi(bytes) : text;
}
