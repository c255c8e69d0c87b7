#include "flash/gui/flashdoors.h"

#include "flash/flashdoor.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QRandomGenerator>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

#include <memory>

namespace
{

// The body of a fetch as it arrives, read by the engine while it grows.
class StreamBody final : public QIODevice
{
public:
    explicit StreamBody(QObject *parent) : QIODevice(parent) { open(QIODevice::ReadOnly); }

    void append(const QByteArray &data)
    {
        {
            QMutexLocker lock(&m_lock);
            m_data.append(data);
        }
        Q_EMIT readyRead();
    }
    void end()
    {
        {
            QMutexLocker lock(&m_lock);
            m_ended = true;
        }
        Q_EMIT readyRead();
        Q_EMIT readChannelFinished();
    }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        QMutexLocker lock(&m_lock);
        return m_data.size() - m_read + QIODevice::bytesAvailable();
    }
    bool atEnd() const override
    {
        QMutexLocker lock(&m_lock);
        return m_ended && m_read == m_data.size() && QIODevice::bytesAvailable() == 0;
    }

protected:
    qint64 readData(char *out, qint64 max) override
    {
        QMutexLocker lock(&m_lock);
        const qint64 n = std::min<qint64>(max, m_data.size() - m_read);
        if (n <= 0)
            return m_ended ? -1 : 0;
        memcpy(out, m_data.constData() + m_read, size_t(n));
        m_read += n;
        // What was read goes once it is most of the buffer.
        if (m_read > 1 << 20 && m_read * 2 > m_data.size()) {
            m_data.remove(0, m_read);
            m_read = 0;
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    mutable QMutex m_lock;
    QByteArray m_data;
    qint64 m_read = 0;
    bool m_ended = false;
};

// One fetch on a page's behalf: judged by its first bytes before anything
// of it reaches the page.
class MovieFetch final : public QObject
{
public:
    MovieFetch(QNetworkAccessManager *net, QWebEngineUrlRequestJob *job, const FlashDoor::FetchRequest &request)
        : QObject(net), m_job(job), m_head(request.head)
    {
        QNetworkRequest ask(request.target);
        ask.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        ask.setMaximumRedirectsAllowed(FlashDoor::MAX_REDIRECTS);
        ask.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
        ask.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
        ask.setTransferTimeout(60000);
        m_reply = net->get(ask);
        connect(m_reply, &QNetworkReply::readyRead, this, &MovieFetch::onData);
        connect(m_reply, &QNetworkReply::finished, this, &MovieFetch::onFinished);
        // The page went, or stopped asking.
        connect(job, &QObject::destroyed, this, [this] {
            m_job = nullptr;
            stop();
        });
    }

private:
    void onData()
    {
        if (!m_job)
            return;
        const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 || (status != 0 && status < 200)) {
            answerStatus(status);
            return;
        }
        if (m_body) {
            m_body->append(m_reply->readAll());
            return;
        }
        m_first += m_reply->readAll();
        judge(false);
    }

    void onFinished()
    {
        if (!m_job) {
            stop();
            return;
        }
        const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (m_reply->error() != QNetworkReply::NoError && status < 300) {
            if (m_body)
                m_body->end();
            else
                m_job->fail(QWebEngineUrlRequestJob::RequestFailed);
            stop();
            return;
        }
        onData();
        if (!m_job)
            return;
        if (!m_body)
            judge(true);
        if (m_body)
            m_body->end();
        stop();
    }

    void judge(bool complete)
    {
        bool sized = false;
        const qint64 size = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&sized);
        switch (FlashDoor::Judge(m_first, complete, sized ? size : (complete ? m_first.size() : -1))) {
        case FlashDoor::Content::NeedMore:
            return;
        case FlashDoor::Content::Other:
            m_job->fail(QWebEngineUrlRequestJob::RequestDenied);
            stop();
            return;
        case FlashDoor::Content::Movie:
        case FlashDoor::Content::Picture:
            break;
        }
        const QByteArray type = FlashDoor::MimeTypeOf(m_first);
        m_body = new StreamBody(m_job);
        if (m_head) {
            m_body->end();
            m_job->reply(type, m_body);
            stop();
            return;
        }
        m_body->append(m_first);
        m_first.clear();
        m_job->reply(type, m_body);
    }

    void answerStatus(int status)
    {
        auto *empty = new StreamBody(m_job);
        empty->end();
        m_job->reply(FlashDoor::StatusMimeType(status), empty);
        stop();
    }

    void stop()
    {
        if (m_stopped)
            return;
        m_stopped = true;
        m_reply->disconnect(this);
        if (m_reply->isRunning())
            m_reply->abort();
        m_reply->deleteLater();
        // The job, when there is one, keeps the body until it is done.
        m_job = nullptr;
        deleteLater();
    }

    QPointer<QWebEngineUrlRequestJob> m_job;
    QNetworkReply *m_reply = nullptr;
    QPointer<StreamBody> m_body;
    QByteArray m_first;
    bool m_head = false;
    bool m_stopped = false;
};

bool mayFetch(const QUrl &initiator)
{
    // Pages of the web and the local player; not opaque origins.
    const QString scheme = initiator.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("kavo");
}

class FlashDoorHandler final : public QWebEngineUrlSchemeHandler
{
public:
    FlashDoorHandler(const AppPaths &paths, QObject *parent) : QWebEngineUrlSchemeHandler(parent), m_paths(paths)
    {
        m_net.setAutoDeleteReplies(false);
    }

    // The profile hands its handlers out read-only; the keys are the
    // handler's own bookkeeping.
    QString allow(QWebEnginePage *page) const
    {
        const QString token = QString::number(QRandomGenerator::system()->generate64(), 36)
            + QString::number(QRandomGenerator::system()->generate64(), 36);
        m_tokens.insert(token, page);
        connect(page, &QObject::destroyed, this, [this, token] { m_tokens.remove(token); });
        return token;
    }

    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        const LocalContent::Request request{job->requestMethod(), job->requestUrl(), job->initiator()};
        if (const auto file = FlashDoor::AnswerFile(m_paths, request)) {
            auto *device = new QFile(file->path, job);
            if (!device->open(QIODevice::ReadOnly)) {
                delete device;
                job->fail(QWebEngineUrlRequestJob::UrlNotFound);
                return;
            }
            job->reply(file->mimeType, device);
            return;
        }
        const auto fetch = FlashDoor::ParseFetch(request);
        if (!fetch || !m_tokens.value(fetch->token) || !mayFetch(job->initiator())) {
            job->fail(fetch ? QWebEngineUrlRequestJob::RequestDenied : QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        new MovieFetch(&m_net, job, *fetch);
    }

private:
    AppPaths m_paths;
    QNetworkAccessManager m_net;
    mutable QHash<QString, QPointer<QWebEnginePage>> m_tokens;
};

} // namespace

namespace FlashDoors
{
void RegisterScheme()
{
    // Secure and CORS-enabled: every page reads the runtime and the fonts
    // (the engine asks a CORS-enabled custom scheme for no consent). What
    // else the door answers, it decides itself.
    QWebEngineUrlScheme scheme{QByteArray(FlashDoor::SCHEME)};
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void Install(QWebEngineProfile *profile, const AppPaths &paths)
{
    profile->installUrlSchemeHandler(QByteArray(FlashDoor::SCHEME), new FlashDoorHandler(paths, profile));
}

QString AllowFetch(QWebEnginePage *page)
{
    const auto *door = dynamic_cast<const FlashDoorHandler *>(page->profile()->urlSchemeHandler(QByteArray(FlashDoor::SCHEME)));
    return door ? door->allow(page) : QString();
}
} // namespace FlashDoors
