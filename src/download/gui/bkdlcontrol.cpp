#include "download/gui/bkdlcontrol.h"

#include "download/dlrules.h"
#include "download/downloadjob.h"

#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QPainter>

namespace
{
const QString KEY_BACK_COLOR = QStringLiteral("BackColor");
const QString KEY_FORE_COLOR = QStringLiteral("ForeColor");
const QString KEY_ENABLED = QStringLiteral("Enabled");
const QString KEY_FONT = QStringLiteral("Font");
const QString KEY_BORDER_STYLE = QStringLiteral("BorderStyle");
const QString KEY_FILE_URL = QStringLiteral("FileURL");
const QString KEY_SAVE_FILE_PATH = QStringLiteral("SaveFilePath");
const QString KEY_FAIL_ON_REDIRECT = QStringLiteral("FailOnRedirect");
const QString KEY_RENAME_ON_REDIRECT = QStringLiteral("RenameOnRedirect");
const QString KEY_SHOW_PROGRESS = QStringLiteral("ShowProgress");

int buttonCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

QColor colorValue(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QColor)
        return value.value<QColor>();
    if (value.canConvert<QString>())
        return QColor::fromString(value.toString());
    return QColor();
}

bool boolValue(const QVariantMap &bag, const QString &key, bool fallback)
{
    const QVariant value = bag.value(key);
    return value.isValid() && value.canConvert<bool>() ? value.toBool() : fallback;
}
}

bkDLControl::bkDLControl(QWidget *parent)
    : QFrame(parent)
{
    applyBorderStyle();
}

bkDLControl::~bkDLControl()
{
    // Ending while a download runs: stop it quietly, no events.
    dropJob();
    if (m_waitLoop)
        m_waitLoop->quit();
}

QColor bkDLControl::BackColor() const
{
    return m_backColor.isValid() ? m_backColor : palette().color(QPalette::Button);
}

void bkDLControl::setBackColor(const QColor &color)
{
    m_backColor = color;
    update();
    Q_EMIT PropertyChanged(KEY_BACK_COLOR);
}

QColor bkDLControl::ForeColor() const
{
    return m_foreColor.isValid() ? m_foreColor : palette().color(QPalette::ButtonText);
}

void bkDLControl::setForeColor(const QColor &color)
{
    m_foreColor = color;
    update();
    Q_EMIT PropertyChanged(KEY_FORE_COLOR);
}

void bkDLControl::setBorderStyle(qint16 style)
{
    m_borderStyle = style == 0 ? 0 : 1;
    applyBorderStyle();
    Q_EMIT PropertyChanged(KEY_BORDER_STYLE);
}

void bkDLControl::setFileURL(const QString &url)
{
    m_fileUrl = url;
    updateSaveFileName();
    Q_EMIT PropertyChanged(KEY_FILE_URL);
}

void bkDLControl::setSaveFilePath(const QString &path)
{
    const DlRules::SplitPath split = DlRules::splitSaveFilePath(path);
    m_fileTitle = split.title;
    m_saveFilePath = split.folder;
    updateSaveFileName();
    Q_EMIT PropertyChanged(KEY_SAVE_FILE_PATH);
}

void bkDLControl::setFailOnRedirect(bool fail)
{
    m_failOnRedirect = fail;
    Q_EMIT PropertyChanged(KEY_FAIL_ON_REDIRECT);
}

bool bkDLControl::RenameOnRedirect() const
{
    return DlRules::renameOnRedirectReading(m_failOnRedirect, m_renameOnRedirect);
}

void bkDLControl::setRenameOnRedirect(bool rename)
{
    m_renameOnRedirect = rename;
    Q_EMIT PropertyChanged(KEY_RENAME_ON_REDIRECT);
}

void bkDLControl::setShowProgress(bool show)
{
    m_showProgress = show;
    update();
    Q_EMIT PropertyChanged(KEY_SHOW_PROGRESS);
}

bool bkDLControl::BeginDownload(bool Wait)
{
    if (m_downloading || m_fileUrl.isEmpty() || m_saveFilePath.isEmpty())
        return false;

    auto *job = new DownloadJob(network(), this);
    job->setIdleTimeout(m_idleTimeoutMs);
    if (m_resumable)
        job->setResumeTarget(DlRules::localPath(m_saveFileName));
    const QString folder = DlRules::localPath(m_saveFilePath);
    const DownloadJob::StartResult started = job->start(m_fileUrl, folder);
    if (started != DownloadJob::Started) {
        const QString reason = job->errorString();
        delete job;
        if (started == DownloadJob::InvalidUrl) {
            raiseDownloadError(DlRules::ErrorStartFailed, reason);
            showStartError(DlRules::ErrorStartFailed, reason);
        } else {
            // The target folder cannot take the file: nothing is fetched.
            raiseDownloadError(DlRules::ErrorWriteFailed,
                               DlRules::writeFailedText(reason, m_saveFileName));
        }
        return false;
    }
    m_job = job;
    connect(job, &DownloadJob::status, this, &bkDLControl::onJobStatus);
    connect(job, &DownloadJob::writeFailed, this, &bkDLControl::onJobWriteFailed);
    connect(job, &DownloadJob::completed, this, &bkDLControl::onJobCompleted);

    setDownloading(true);
    resetDownloadInfo();
    if (!Wait)
        return true;

    QPointer<bkDLControl> self(this);
    QEventLoop loop;
    QEventLoop *outer = m_waitLoop;
    m_waitLoop = &loop;
    if (m_downloading)
        loop.exec();
    if (!self)
        return false;
    m_waitLoop = outer;
    return m_savedOK;
}

void bkDLControl::CancelDownload()
{
    if (!m_downloading)
        return;
    dropJob();
    m_progress = 0.0f;
    update();
    setDownloading(false);
    Q_EMIT DLCanceled();
}

void bkDLControl::Refresh()
{
    repaint();
}

void bkDLControl::WriteProperties(QVariantMap &bag) const
{
    if (m_backColor.isValid())
        bag.insert(KEY_BACK_COLOR, m_backColor);
    if (m_foreColor.isValid())
        bag.insert(KEY_FORE_COLOR, m_foreColor);
    if (!isEnabled())
        bag.insert(KEY_ENABLED, false);
    if (testAttribute(Qt::WA_SetFont))
        bag.insert(KEY_FONT, font());
    if (m_borderStyle != 1)
        bag.insert(KEY_BORDER_STYLE, int(m_borderStyle));
    if (!m_fileUrl.isEmpty())
        bag.insert(KEY_FILE_URL, m_fileUrl);
    if (!m_saveFilePath.isEmpty())
        bag.insert(KEY_SAVE_FILE_PATH, m_saveFilePath);
    if (!m_failOnRedirect)
        bag.insert(KEY_FAIL_ON_REDIRECT, false);
    if (!m_renameOnRedirect)
        bag.insert(KEY_RENAME_ON_REDIRECT, false);
    if (!m_showProgress)
        bag.insert(KEY_SHOW_PROGRESS, false);
}

void bkDLControl::ReadProperties(const QVariantMap &bag)
{
    m_loading = true;
    m_backColor = colorValue(bag.value(KEY_BACK_COLOR));
    m_foreColor = colorValue(bag.value(KEY_FORE_COLOR));
    setEnabled(boolValue(bag, KEY_ENABLED, true));

    const QVariant font = bag.value(KEY_FONT);
    QFont restored;
    if (font.metaType().id() == QMetaType::QFont)
        restored = font.value<QFont>();
    else if (font.metaType().id() == QMetaType::QString && !restored.fromString(font.toString()))
        restored = QFont();
    // A default-constructed font resolves nothing: the container's font shows.
    setFont(font.isValid() ? restored : QFont());

    bool ok = false;
    const int style = bag.value(KEY_BORDER_STYLE, 1).toInt(&ok);
    m_borderStyle = ok && style == 0 ? 0 : 1;
    applyBorderStyle();

    m_fileUrl = bag.value(KEY_FILE_URL).toString();
    m_saveFilePath = bag.value(KEY_SAVE_FILE_PATH).toString();
    m_fileTitle.clear();
    m_saveFileName.clear();
    m_failOnRedirect = boolValue(bag, KEY_FAIL_ON_REDIRECT, true);
    m_renameOnRedirect = boolValue(bag, KEY_RENAME_ON_REDIRECT, true);
    m_showProgress = boolValue(bag, KEY_SHOW_PROGRESS, true);
    m_loading = false;
    update();
}

void bkDLControl::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.fillRect(area, BackColor());
        if (m_showProgress && m_progress > 0.0f) {
            const qreal width = qMin<qreal>(area.width() * qreal(m_progress), area.width());
            painter.fillRect(QRectF(area.x(), area.y(), width, area.height()), ForeColor());
        }
    }
    QFrame::paintEvent(event);
}

void bkDLControl::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (m_loading)
        return;
    if (event->type() == QEvent::EnabledChange)
        Q_EMIT PropertyChanged(KEY_ENABLED);
    else if (event->type() == QEvent::FontChange)
        Q_EMIT PropertyChanged(KEY_FONT);
}

void bkDLControl::mousePressEvent(QMouseEvent *event)
{
    const QPointF pos = event->position();
    Q_EMIT MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), float(pos.x()),
                     float(pos.y()));
}

void bkDLControl::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF pos = event->position();
    Q_EMIT MouseMove(buttonCode(event->buttons()), shiftCode(event->modifiers()), float(pos.x()),
                     float(pos.y()));
}

void bkDLControl::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF pos = event->position();
    QPointer<bkDLControl> self(this);
    Q_EMIT MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), float(pos.x()),
                   float(pos.y()));
    if (self && event->button() == Qt::LeftButton && rect().contains(pos.toPoint()))
        Q_EMIT Click();
}

void bkDLControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT DblClick();
    else
        mousePressEvent(event);
}

void bkDLControl::onJobStatus(int code, const QString &text, qint64 bytesRead, qint64 bytesMax)
{
    if (sender() != m_job)
        return;
    switch (code) {
    case DownloadJob::StatusConnecting:
        m_connectionAddress = text;
        Q_EMIT DLConnected(text);
        break;
    case DownloadJob::StatusRedirecting:
        m_redirectFile = text;
        if (m_failOnRedirect) {
            dropJob();
            raiseDownloadError(DlRules::ErrorRedirected, DlRules::redirectedText(text));
        } else {
            Q_EMIT DLRedirect(text);
        }
        break;
    case DownloadJob::StatusBeginData:
        m_fileSize = bytesMax;
        Q_EMIT DLFileSize(bytesMax);
        Q_EMIT DLBeginDownload();
        break;
    case DownloadJob::StatusData:
    case DownloadJob::StatusEndData:
        m_progress = DlRules::progressFraction(bytesRead, bytesMax);
        m_bytesRead = bytesRead;
        Q_EMIT DLProgress(m_progress, bytesRead, bytesMax);
        break;
    case DownloadJob::StatusMimeType:
        m_mimeType = text;
        Q_EMIT DLMIMEType(text);
        break;
    case DownloadJob::StatusCacheFile:
        m_cacheFile = text;
        Q_EMIT DLCacheFile(text);
        break;
    case DownloadJob::StatusError:
        dropJob();
        raiseDownloadError(DlRules::ErrorTransfer, text);
        break;
    default:
        break;
    }
    update();
}

void bkDLControl::onJobWriteFailed(const QString &description)
{
    if (sender() != m_job)
        return;
    dropJob();
    raiseDownloadError(DlRules::ErrorWriteFailed,
                       DlRules::writeFailedText(description, m_saveFileName));
}

void bkDLControl::onJobCompleted(qint64 bytes)
{
    DownloadJob *job = m_job;
    if (sender() != job)
        return;
    if (bytes == 0) {
        dropJob();
        raiseDownloadError(DlRules::ErrorZeroBytes, DlRules::zeroBytesText());
        return;
    }
    if (m_flashMoviesOnly && !DlRules::isFlashMovie(job->head(), bytes)) {
        dropJob();
        raiseDownloadError(DlRules::ErrorTransfer, DlRules::notFlashMovieText());
        return;
    }
    if (!m_redirectFile.isEmpty() && m_renameOnRedirect)
        renameFromRedirect();
    if (!job->commit(DlRules::localPath(m_saveFileName))) {
        const QString reason = job->errorString();
        dropJob();
        raiseDownloadError(DlRules::ErrorWriteFailed,
                           DlRules::writeFailedText(reason, m_saveFileName));
        return;
    }
    dropJob();
    m_savedOK = true;
    QPointer<bkDLControl> self(this);
    Q_EMIT DLComplete(bytes);
    // Only now: a BeginDownload from the DLComplete handler is still refused.
    if (self)
        setDownloading(false);
}

void bkDLControl::updateSaveFileName()
{
    if (!m_fileUrl.isEmpty() && !m_saveFilePath.isEmpty())
        m_saveFileName = DlRules::joinPath(m_saveFilePath, m_fileTitle);
    else
        m_saveFileName.clear();
}

void bkDLControl::resetDownloadInfo()
{
    m_fileSize = 0;
    m_bytesRead = 0;
    m_connectionAddress.clear();
    m_cacheFile.clear();
    m_redirectFile.clear();
    m_mimeType.clear();
    m_savedOK = false;
    m_bytesReceived = 0;
}

void bkDLControl::raiseDownloadError(int number, const QString &description)
{
    m_progress = 0.0f;
    update();
    setDownloading(false);
    QPointer<bkDLControl> self(this);
    Q_EMIT DLError(number, description);
    if (self)
        Q_EMIT DLComplete(0);
}

void bkDLControl::renameFromRedirect()
{
    m_saveFileName = DlRules::joinPath(m_saveFilePath, DlRules::redirectFileTitle(m_redirectFile));
}

void bkDLControl::setDownloading(bool downloading)
{
    m_downloading = downloading;
    if (!downloading && m_waitLoop)
        m_waitLoop->quit();
}

void bkDLControl::dropJob()
{
    if (!m_job)
        return;
    DownloadJob *job = m_job;
    m_job = nullptr;
    m_bytesReceived = job->bytesReceived();
    job->cancel();
    job->disconnect(this);
    job->deleteLater();
}

void bkDLControl::applyBorderStyle()
{
    if (m_borderStyle == 0)
        setFrameStyle(QFrame::NoFrame);
    else
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    update();
}

void bkDLControl::showStartError(int number, const QString &description)
{
    QMessageBox box(QMessageBox::Critical,
                    QStringLiteral("bkDLControl Internal Error: ") + QString::number(number),
                    QString::number(number) + QStringLiteral("Error: \n") + description,
                    QMessageBox::Ok, this);
    box.exec();
}

QNetworkAccessManager *bkDLControl::network()
{
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    return m_network;
}
