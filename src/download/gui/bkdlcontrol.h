#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QPointer>
#include <QString>
#include <QVariantMap>

class DownloadJob;
class QEventLoop;
class QNetworkAccessManager;

// The program's download control: fetches FileURL into SaveFileName and
// reports every step as an event (Qt signal); paints its progress as a bar in
// ForeColor. Colours left unset follow the palette (button face / button
// text); the font left unset is the container's.
//
// "/" and "\" both separate folders in SaveFilePath; the file system sees the
// path with "\" read as "/". Byte counts are 64-bit.
class bkDLControl : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(bkDLControl)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(qint16 BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(QString FileURL READ FileURL WRITE setFileURL)
    Q_PROPERTY(QString SaveFilePath READ SaveFilePath WRITE setSaveFilePath)
    Q_PROPERTY(bool FailOnRedirect READ FailOnRedirect WRITE setFailOnRedirect)
    Q_PROPERTY(bool RenameOnRedirect READ RenameOnRedirect WRITE setRenameOnRedirect)
    Q_PROPERTY(bool ShowProgress READ ShowProgress WRITE setShowProgress)
    Q_PROPERTY(QString SaveFileName READ SaveFileName)
    Q_PROPERTY(qint64 BytesRead READ BytesRead)
    Q_PROPERTY(qint64 FileSize READ FileSize)
    Q_PROPERTY(QString ConnectionAddress READ ConnectionAddress)
    Q_PROPERTY(QString CacheFile READ CacheFile)
    Q_PROPERTY(QString RedirectFile READ RedirectFile)
    Q_PROPERTY(QString MIMEType READ MIMEType)

public:
    static constexpr int DefaultIdleTimeoutMs = 60000;

    explicit bkDLControl(QWidget *parent = nullptr);
    ~bkDLControl() override;

    QColor BackColor() const;
    void setBackColor(const QColor &color); // an invalid colour means the palette's
    QColor ForeColor() const;
    void setForeColor(const QColor &color);
    qint16 BorderStyle() const { return m_borderStyle; } // 0 none, 1 single
    void setBorderStyle(qint16 style);
    QString FileURL() const { return m_fileUrl; }
    void setFileURL(const QString &url);
    QString SaveFilePath() const { return m_saveFilePath; }
    // Takes the full target path and keeps its folder part; the file name
    // part becomes the name of the saved file.
    void setSaveFilePath(const QString &path);
    bool FailOnRedirect() const { return m_failOnRedirect; }
    void setFailOnRedirect(bool fail);
    // Reads true only while redirects are allowed and renaming is on.
    bool RenameOnRedirect() const;
    void setRenameOnRedirect(bool rename);
    bool ShowProgress() const { return m_showProgress; }
    void setShowProgress(bool show);

    QString SaveFileName() const { return m_saveFileName; }
    qint64 BytesRead() const { return m_bytesRead; }
    qint64 FileSize() const { return m_fileSize; }
    QString ConnectionAddress() const { return m_connectionAddress; }
    // The temporary file in the target folder that receives the data while
    // it arrives (nothing is fetched from or kept in a cache).
    QString CacheFile() const { return m_cacheFile; }
    QString RedirectFile() const { return m_redirectFile; }
    QString MIMEType() const { return m_mimeType; }

    // A transfer that receives nothing for this long ends as error 99.
    void setIdleTimeout(int ms) { m_idleTimeoutMs = ms; }
    int idleTimeout() const { return m_idleTimeoutMs; }
    // Only a Flash movie is saved: any other body (a web page a captive
    // portal or a server's error gave with 200, random bytes) ends as error
    // 99 and no file is left (DlRules::isFlashMovie). Off by default.
    void setFlashMoviesOnly(bool only) { m_flashMoviesOnly = only; }
    bool flashMoviesOnly() const { return m_flashMoviesOnly; }
    // A download that breaks off keeps what arrived beside SaveFileName and
    // the next BeginDownload goes on from there (DownloadJob::setResumeTarget);
    // progress then counts from the kept size. Off by default.
    void setResumable(bool resumable) { m_resumable = resumable; }
    bool resumable() const { return m_resumable; }
    // File data the last download received from the network.
    qint64 bytesReceived() const { return m_bytesReceived; }
    bool isDownloading() const { return m_downloading; }
    float progress() const { return m_progress; }

    // Starts fetching FileURL into SaveFileName. False without doing anything
    // while a download runs or when FileURL or SaveFilePath is empty. With
    // Wait the call runs the event loop until the download ended and returns
    // whether the file was saved.
    bool BeginDownload(bool Wait = false);
    void CancelDownload();
    void Refresh();

    // The ten persisted properties; values equal to their defaults are left out.
    void WriteProperties(QVariantMap &bag) const;
    // Restores them (defaults for missing or unusable values). FileURL and
    // SaveFilePath are taken as stored, so SaveFileName stays empty until one
    // of them is written.
    void ReadProperties(const QVariantMap &bag);

Q_SIGNALS:
    void Click();
    void DblClick();
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    void DLProgress(float Fraction, qint64 BytesRead, qint64 FileSize);
    void DLCanceled();
    void DLError(int Number, const QString &Description);
    void DLComplete(qint64 Bytes);
    void DLConnected(const QString &Address);
    void DLRedirect(const QString &NewURL);
    void DLCacheFile(const QString &FileName);
    void DLMIMEType(const QString &MIMEType);
    void DLFileSize(qint64 FileSize);
    void DLBeginDownload();
    // A persisted property was written (its key).
    void PropertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void onJobStatus(int code, const QString &text, qint64 bytesRead, qint64 bytesMax);
    void onJobWriteFailed(const QString &description);
    void onJobCompleted(qint64 bytes);

    void updateSaveFileName();
    void resetDownloadInfo();
    void raiseDownloadError(int number, const QString &description);
    void renameFromRedirect();
    void setDownloading(bool downloading);
    void dropJob();
    void applyBorderStyle();
    void showStartError(int number, const QString &description);
    QNetworkAccessManager *network();

    QColor m_backColor;
    QColor m_foreColor;
    qint16 m_borderStyle = 1;
    QString m_fileUrl;
    QString m_saveFilePath;
    QString m_fileTitle;
    QString m_saveFileName;
    bool m_failOnRedirect = true;
    bool m_renameOnRedirect = true;
    bool m_showProgress = true;

    qint64 m_bytesRead = 0;
    qint64 m_fileSize = 0;
    QString m_connectionAddress;
    QString m_cacheFile;
    QString m_redirectFile;
    QString m_mimeType;

    bool m_downloading = false;
    float m_progress = 0.0f;
    bool m_savedOK = false;
    int m_idleTimeoutMs = DefaultIdleTimeoutMs;
    bool m_flashMoviesOnly = false;
    bool m_resumable = false;
    qint64 m_bytesReceived = 0;
    bool m_loading = false;

    QPointer<DownloadJob> m_job;
    QNetworkAccessManager *m_network = nullptr;
    QEventLoop *m_waitLoop = nullptr;
};
