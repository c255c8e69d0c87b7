#include "download/downloadjob.h"

#include "common/safefile.h"
#include "download/dlrules.h"
#include "download/resumerules.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace
{
constexpr qsizetype READ_CHUNK = 256 * 1024;
// Data the network layer may hold before it waits for us to write it out;
// without a limit a disk slower than the network would fill memory.
constexpr qint64 READ_BUFFER = 1024 * 1024;
const QString TEMP_PREFIX = QStringLiteral(".dl-");
const QString TEMP_SUFFIX = QStringLiteral(".part");
constexpr int TEMP_RANDOM_CHARS = 6;

std::filesystem::path fsPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}
}

DownloadJob::DownloadJob(QNetworkAccessManager *manager, QObject *parent)
    : QObject(parent)
    , m_manager(manager)
{
    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, &DownloadJob::onIdle);
}

DownloadJob::~DownloadJob()
{
    cancel();
}

void DownloadJob::setIdleTimeout(int ms)
{
    m_idleTimeoutMs = qMax(1, ms);
    if (m_idleTimer.isActive())
        m_idleTimer.start(m_idleTimeoutMs);
}

DownloadJob::StartResult DownloadJob::start(const QString &urlText, const QString &folder)
{
    if (m_state != State::Idle) {
        m_errorString = QStringLiteral("A transfer job is used only once");
        return InvalidUrl;
    }
    const QUrl url(urlText);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.isRelative()) {
        m_errorString = QStringLiteral("Invalid URL: ") + urlText;
        return InvalidUrl;
    }
    if (scheme != u"http" && scheme != u"https") {
        m_errorString = QStringLiteral("Unsupported protocol: ") + url.scheme();
        return InvalidUrl;
    }
    if (url.host().isEmpty()) {
        m_errorString = QStringLiteral("Invalid URL: ") + urlText;
        return InvalidUrl;
    }

    m_url = url;
    if (!m_resumeTarget.isEmpty()) {
        if (!openPartial(m_url.toString()))
            return CannotCreateFile;
    } else {
        const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
        auto file = std::make_unique<QTemporaryFile>(
            dir.filePath(TEMP_PREFIX + QString(TEMP_RANDOM_CHARS, QLatin1Char('X')) + TEMP_SUFFIX));
        // Removal is ours: only a committed file may survive the job.
        file->setAutoRemove(false);
        if (!file->open()) {
            m_errorString = file->errorString();
            return CannotCreateFile;
        }
        m_file = std::move(file);
    }

    if (!m_manager)
        m_manager = new QNetworkAccessManager(this);
    m_buffer.resize(READ_CHUNK);
    m_state = State::Running;
    sendRequest();
    return Started;
}

void DownloadJob::setResumeTarget(const QString &target)
{
    if (m_state == State::Idle)
        m_resumeTarget = target;
}

bool DownloadJob::openPartial(const QString &url)
{
    m_file = std::make_unique<QFile>(DlResume::partialPath(m_resumeTarget));
    if (!m_file->open(QIODevice::ReadWrite)) {
        m_errorString = m_file->errorString();
        m_file.reset();
        return false;
    }
    std::optional<DlResume::Record> record;
    QFile recordFile(DlResume::recordPath(m_resumeTarget));
    if (recordFile.open(QIODevice::ReadOnly))
        record = DlResume::decodeRecord(recordFile.read(DlResume::MAX_RECORD_SIZE + 1));
    const DlResume::Request plan = DlResume::planRequest(record, url, m_file->size());
    m_requestFrom = plan.from;
    m_ifRange = plan.ifRange;
    if (m_requestFrom == 0) {
        QFile::remove(DlResume::recordPath(m_resumeTarget));
        if (!m_file->resize(0)) {
            m_errorString = m_file->errorString();
            m_file->close();
            m_file.reset();
            return false;
        }
    }
    m_keepPartial = m_requestFrom > 0;
    return true;
}

void DownloadJob::sendRequest()
{
    QNetworkRequest request(m_url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    // The file must hold the bytes as served, and sizes must match the body.
    request.setRawHeader("Accept-Encoding", "identity");
    if (m_requestFrom > 0) {
        request.setRawHeader("Range", "bytes=" + QByteArray::number(m_requestFrom) + '-');
        request.setRawHeader("If-Range", m_ifRange);
    }

    m_host = m_url.host();
    m_connectSeen = false;
    m_reply = m_manager->get(request);
    m_reply->setReadBufferSize(READ_BUFFER);
    connect(m_reply, &QNetworkReply::socketStartedConnecting, this, &DownloadJob::onConnecting);
    connect(m_reply, &QNetworkReply::requestSent, this, &DownloadJob::onConnecting);
    connect(m_reply, &QNetworkReply::redirected, this, &DownloadJob::onRedirected);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &DownloadJob::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &DownloadJob::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &DownloadJob::onFinished);
    m_idleTimer.start(m_idleTimeoutMs);
}

bool DownloadJob::isTemporaryFileName(const QString &fileName)
{
    if (fileName.size() != TEMP_PREFIX.size() + TEMP_RANDOM_CHARS + TEMP_SUFFIX.size()
        || !fileName.startsWith(TEMP_PREFIX) || !fileName.endsWith(TEMP_SUFFIX))
        return false;
    for (qsizetype i = TEMP_PREFIX.size(); i < TEMP_PREFIX.size() + TEMP_RANDOM_CHARS; ++i) {
        const QChar c = fileName.at(i);
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
              || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))))
            return false;
    }
    return true;
}

QString DownloadJob::tempFilePath() const
{
    return m_file ? m_file->fileName() : QString();
}

void DownloadJob::cancel()
{
    if (m_state == State::Idle || m_state == State::Done)
        return;
    // Completed data was either committed or rejected: nothing to go on from.
    if (m_state == State::Completed)
        m_keepPartial = false;
    stopReply();
    endTransfer();
}

bool DownloadJob::commit(const QString &path)
{
    if (m_state != State::Completed || !m_file) {
        m_errorString = QStringLiteral("No completed transfer");
        return false;
    }
    m_state = State::Done;
    const QString temp = m_file->fileName();
    const bool flushed = m_file->flush();
    if (!flushed) {
        m_errorString = m_file->errorString();
        removeTempFile();
        return false;
    }
    m_file->close();
    // Temporary files are private to the owner; the saved file is not.
    QFile::setPermissions(temp, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                    | QFile::ReadOther);
    std::error_code ec;
    std::filesystem::rename(fsPath(temp), fsPath(path), ec);
    if (ec) {
        m_errorString = QString::fromLocal8Bit(ec.message().c_str());
        removeTempFile();
        return false;
    }
    m_file.reset();
    if (!m_resumeTarget.isEmpty())
        QFile::remove(DlResume::recordPath(m_resumeTarget));
    return true;
}

void DownloadJob::discard()
{
    cancel();
}

void DownloadJob::onConnecting()
{
    if (m_state != State::Running)
        return;
    m_idleTimer.start(m_idleTimeoutMs);
    if (m_connectSeen)
        return;
    m_connectSeen = true;
    emitStatus(StatusConnecting, m_host);
}

void DownloadJob::onRedirected(const QUrl &url)
{
    if (m_state != State::Running)
        return;
    m_idleTimer.start(m_idleTimeoutMs);
    const QString target = url.toString();
    emitStatus(StatusRedirecting, target);
    if (m_state != State::Running)
        return;
    m_host = url.host();
    m_connectSeen = false;
    Q_EMIT m_reply->redirectAllowed();
}

void DownloadJob::onMetaData()
{
    if (m_state != State::Running)
        return;
    m_idleTimer.start(m_idleTimeoutMs);
    const int code = httpStatus();
    // A redirect hop carries no file data; an error answer ends in onFinished.
    if (code >= 300 && !isRangeRefused())
        return;
    if (!m_begun)
        beginData();
}

void DownloadJob::onReadyRead()
{
    if (m_state != State::Running)
        return;
    m_idleTimer.start(m_idleTimeoutMs);
    if (httpStatus() >= 300 && (!isRangeRefused() || m_begun)) {
        m_reply->readAll();
        return;
    }
    if (!m_begun && !beginData())
        return;
    if (!drainReply())
        return;
    emitStatus(StatusData, QString());
}

void DownloadJob::onFinished()
{
    if (m_state != State::Running)
        return;
    m_idleTimer.stop();
    const int code = httpStatus();
    if (isRangeRefused() && !m_begun && !beginData())
        return;
    if (m_reply->error() != QNetworkReply::NoError) {
        failTransfer(code >= 400 ? httpStatusText() : m_reply->errorString());
        return;
    }
    if (code != 0 && (code < 200 || code >= 300)) {
        failTransfer(httpStatusText());
        return;
    }
    if (!m_begun && !beginData())
        return;
    if (!drainReply())
        return;
    // The network layer reports a connection closed before the announced
    // length as a normal end; the file would be cut short.
    if (m_bytesMax > 0 && m_bytesRead < m_bytesMax) {
        failTransfer(QStringLiteral("Connection closed after %1 of %2 bytes").arg(m_bytesRead).arg(m_bytesMax));
        return;
    }
    if (!m_file->flush()) {
        failWrite(m_file->errorString());
        return;
    }
    emitStatus(StatusEndData, QString());
    if (m_state != State::Running)
        return;
    stopReply();
    m_state = State::Completed;
    Q_EMIT completed(m_bytesRead);
}

void DownloadJob::onIdle()
{
    if (m_state != State::Running)
        return;
    const int ms = m_idleTimeoutMs;
    const QString span = ms % 1000 == 0 ? QStringLiteral("%1 s").arg(ms / 1000)
                                        : QStringLiteral("%1 ms").arg(ms);
    failTransfer(QStringLiteral("Transfer stalled: nothing received for ") + span);
}

bool DownloadJob::beginData()
{
    m_begun = true;
    bool ok = false;
    const qint64 length = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&ok);
    if (!m_resumeTarget.isEmpty()) {
        const DlResume::Answer answer = DlResume::judgeAnswer(
            m_requestFrom, httpStatus(), m_reply->rawHeader("Content-Range"), ok ? length : -1);
        if (answer.outcome == DlResume::Outcome::Restart)
            return restartWhole();
        if (answer.outcome == DlResume::Outcome::Fresh && m_requestFrom > 0) {
            // The server sent the whole file: what was kept is of no use.
            m_requestFrom = 0;
            if (!m_file->resize(0)) {
                failWrite(m_file->errorString());
                return false;
            }
        }
        if (m_requestFrom > 0) {
            m_file->seek(0);
            m_head = m_file->read(DlRules::FLASH_HEADER_SIZE);
            m_resumedFrom = m_requestFrom;
            m_bytesRead = m_requestFrom;
        }
        m_file->seek(m_file->size());
        const QByteArray validator = DlResume::validatorOf(m_reply->rawHeader("ETag"),
                                                           m_reply->rawHeader("Last-Modified"));
        m_keepPartial = !validator.isEmpty()
            && SafeFile::writeWhole(DlResume::recordPath(m_resumeTarget),
                                    DlResume::encodeRecord({m_url.toString(), validator, answer.total}));
        if (!m_keepPartial)
            QFile::remove(DlResume::recordPath(m_resumeTarget));
        m_bytesMax = answer.total >= 0 ? answer.total : ok && length > 0 ? m_bytesRead + length : 0;
    } else {
        m_bytesMax = ok && length > 0 ? length : 0;
    }
    const QString mime = m_reply->header(QNetworkRequest::ContentTypeHeader)
                             .toString().section(u';', 0, 0).trimmed();
    if (!mime.isEmpty()) {
        emitStatus(StatusMimeType, mime);
        if (m_state != State::Running)
            return false;
    }
    emitStatus(StatusBeginData, QString());
    if (m_state != State::Running)
        return false;
    emitStatus(StatusCacheFile, tempFilePath());
    return m_state == State::Running;
}

bool DownloadJob::isRangeRefused() const
{
    return m_requestFrom > 0 && httpStatus() == 416;
}

bool DownloadJob::restartWhole()
{
    if (m_requestFrom == 0) {
        failTransfer(QStringLiteral("Server answered a whole-file request with a part"));
        return false;
    }
    stopReply();
    m_begun = false;
    m_requestFrom = 0;
    m_keepPartial = false;
    QFile::remove(DlResume::recordPath(m_resumeTarget));
    if (!m_file->resize(0)) {
        failWrite(m_file->errorString());
        return false;
    }
    sendRequest();
    return false;
}

bool DownloadJob::drainReply()
{
    for (;;) {
        const qint64 n = m_reply->read(m_buffer.data(), m_buffer.size());
        if (n <= 0)
            return true;
        if (m_file->write(m_buffer.constData(), n) != n) {
            failWrite(m_file->errorString());
            return false;
        }
        if (m_head.size() < DlRules::FLASH_HEADER_SIZE)
            m_head += QByteArrayView(m_buffer.constData(), n).first(qMin(n, DlRules::FLASH_HEADER_SIZE - m_head.size()));
        m_bytesRead += n;
        m_bytesReceived += n;
    }
}

int DownloadJob::httpStatus() const
{
    return m_reply ? m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
}

QString DownloadJob::httpStatusText() const
{
    const QString reason = m_reply
        ? m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()
        : QString();
    return QStringLiteral("Server replied: %1 %2").arg(httpStatus()).arg(reason).trimmed();
}

void DownloadJob::emitStatus(int code, const QString &text)
{
    Q_EMIT status(code, text, m_bytesRead, m_bytesMax);
}

void DownloadJob::failTransfer(const QString &description)
{
    stopReply();
    endTransfer();
    emitStatus(StatusError, description);
}

void DownloadJob::failWrite(const QString &description)
{
    stopReply();
    m_keepPartial = false;
    endTransfer();
    Q_EMIT writeFailed(description);
}

void DownloadJob::endTransfer()
{
    m_state = State::Done;
    if (m_keepPartial && m_file && m_file->size() > 0) {
        m_file->close();
        m_file.reset();
        return;
    }
    removeTempFile();
    if (!m_resumeTarget.isEmpty())
        QFile::remove(DlResume::recordPath(m_resumeTarget));
}

void DownloadJob::stopReply()
{
    m_idleTimer.stop();
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    // A reply that already failed must not be aborted again; deleting it
    // ends the request.
    if (!reply->isFinished() && reply->error() == QNetworkReply::NoError)
        reply->abort();
    reply->deleteLater();
}

void DownloadJob::removeTempFile()
{
    if (!m_file)
        return;
    const QString name = m_file->fileName();
    m_file->close();
    QFile::remove(name);
    m_file.reset();
}
