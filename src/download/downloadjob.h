#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QFile;

// One transfer of one URL into one local file. The data goes to a temporary
// file in the target folder as it arrives; the owner moves it to the final
// name with commit() once completed() came, and any other end (error, cancel,
// destruction) removes it, so no partial file is ever left behind.
//
// A resumable job (setResumeTarget) instead keeps its data in the target's
// partial file beside it (DlResume::partialPath) with a record of the
// server's validator. A transfer that breaks off (an error, a stall, cancel,
// destruction while running) keeps both when the server gave a validator,
// and the next job for the same target and address asks only for the rest
// (Range with If-Range); data the answer does not continue is dropped and
// the whole file fetched. bytesRead() and the status counts include the
// bytes kept from before. Rejected data (discard(), a write failure) and
// committed data leave no partial file.
//
// Progress is reported as binding-status notifications:
//   2 connecting (text = host), 3 redirecting (text = new URL),
//   13 MIME type known, 4 begin of data (bytesMax = size, 0 when unknown),
//   14 temporary file known (text = its path), 5 data arrived, 6 end of data,
//   0 error (text = description; the transfer is over).
// A job is used for one transfer only.
class DownloadJob final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadJob)

public:
    enum Status {
        StatusError = 0,
        StatusConnecting = 2,
        StatusRedirecting = 3,
        StatusBeginData = 4,
        StatusData = 5,
        StatusEndData = 6,
        StatusMimeType = 13,
        StatusCacheFile = 14
    };
    enum StartResult { Started, InvalidUrl, CannotCreateFile };

    static constexpr int DefaultIdleTimeoutMs = 60000;

    // Whether `fileName` has the form of the temporary files of jobs
    // (".dl-", six letters or digits, ".part"). A killed process leaves its
    // temporary file behind; start-up removes such files from the folder
    // flash.
    static bool isTemporaryFileName(const QString &fileName);

    // `manager` may be null; the job then uses one of its own.
    explicit DownloadJob(QNetworkAccessManager *manager, QObject *parent = nullptr);
    ~DownloadJob() override;

    // A transfer that receives nothing for this long ends with status 0.
    void setIdleTimeout(int ms);
    int idleTimeout() const { return m_idleTimeoutMs; }

    // Before start(): keep the data in the partial file of `target` and go
    // on from what an earlier job for it kept.
    void setResumeTarget(const QString &target);

    // Starts fetching `url` (http or https) from the server, never from a
    // cache. The temporary file is created in `folder` right away (the
    // partial file of a resumable job: `folder` is then not used).
    StartResult start(const QString &url, const QString &folder);
    // Description of the last failure of start() or commit().
    QString errorString() const { return m_errorString; }

    bool isRunning() const { return m_state == State::Running; }
    QString tempFilePath() const;
    qint64 bytesRead() const { return m_bytesRead; }
    // Bytes of file data this job received from the network (bytesRead()
    // less what was kept from before).
    qint64 bytesReceived() const { return m_bytesReceived; }
    // Where the answer began in the file: 0, or the kept size it continued.
    qint64 resumedFrom() const { return m_resumedFrom; }
    // The first bytes received (at most DlRules::FLASH_HEADER_SIZE).
    QByteArray head() const { return m_head; }

    // Stops the transfer and removes the temporary file (a resumable job
    // keeps what it can continue); no signal follows.
    void cancel();
    // After completed(): moves the received data to `path`, replacing a file
    // that is there. On failure the data is dropped and errorString() says why.
    bool commit(const QString &path);
    // After completed(): drops the received data.
    void discard();

Q_SIGNALS:
    void status(int code, const QString &text, qint64 bytesRead, qint64 bytesMax);
    // Writing the temporary file failed; the transfer is over.
    void writeFailed(const QString &description);
    // All data arrived without error; commit() or discard() it.
    void completed(qint64 bytesRead);

private:
    enum class State { Idle, Running, Completed, Done };

    void onConnecting();
    void onRedirected(const QUrl &url);
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void onIdle();

    bool openPartial(const QString &url);
    void sendRequest();
    bool beginData();
    bool restartWhole();
    bool isRangeRefused() const;
    bool drainReply();
    int httpStatus() const;
    QString httpStatusText() const;
    void emitStatus(int code, const QString &text);
    void failTransfer(const QString &description);
    void failWrite(const QString &description);
    void stopReply();
    void removeTempFile();
    void endTransfer();

    QPointer<QNetworkAccessManager> m_manager;
    QNetworkReply *m_reply = nullptr;
    std::unique_ptr<QFile> m_file;
    QUrl m_url;
    QString m_resumeTarget;      // empty: not resumable
    bool m_keepPartial = false;  // a validator is recorded for the data
    qint64 m_requestFrom = 0;
    QByteArray m_ifRange;
    qint64 m_resumedFrom = 0;
    qint64 m_bytesReceived = 0;
    QTimer m_idleTimer;
    int m_idleTimeoutMs = DefaultIdleTimeoutMs;
    State m_state = State::Idle;
    bool m_connectSeen = false; // status 2 reported for the current hop
    bool m_begun = false;       // status 4 reported
    qint64 m_bytesRead = 0;
    qint64 m_bytesMax = 0;
    QString m_host;
    QString m_errorString;
    QByteArray m_buffer;
    QByteArray m_head;
};
