// The update check of the main window and the promotion windows it opens.
#include "mainwindow/ba1.h"

#include "services/gui/promotionwindow.h"
#include "services/noticefetch.h"
#include "services/updatenotice.h"
#include "shell/gui/messagebox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <QUrl>

namespace
{
const QString OFFER_TITLE = QStringLiteral("Kavo游戏盒提示：");
const QString UP_TO_DATE = QStringLiteral("你现在使用的是最新版本，无需升级！");
} // namespace

void BA1::createUpdateTimers()
{
    // Precise: a coarse timer may fire up to 5% early.
    m_Timer1 = new QTimer(this);
    m_Timer1->setTimerType(Qt::PreciseTimer);
    m_Timer1->setInterval(UPDATE_CHECK_AFTER_MS);
    connect(m_Timer1, &QTimer::timeout, this, &BA1::Timer1_Timer);
    m_Timer2 = new QTimer(this);
    m_Timer2->setTimerType(Qt::PreciseTimer);
    m_Timer2->setInterval(FLOATING_PROMOTION_AFTER_MS);
    connect(m_Timer2, &QTimer::timeout, this, &BA1::Timer2_Timer);
    m_Timer1->start();
}

void BA1::Timer1_Timer()
{
    m_Timer1->stop();
    // The read runs beside the event loop: a slow or silent portal never
    // holds up the window. Its end is the rest of the check (NoticeRead).
    delete m_noticeFetch;
    m_noticeFetch = new NoticeFetch(QUrl(m_portalBase + QStringLiteral("lib/wenc.txt")), NOTICE_TIMEOUT_MS, this);
    connect(m_noticeFetch, &NoticeFetch::finished, this, &BA1::NoticeRead);
    m_noticeFetch->start();
}

bool BA1::noticeReading() const
{
    return m_noticeFetch && m_noticeFetch->isRunning();
}

void BA1::NoticeRead(const QString &text)
{
    m_noticeFetch->deleteLater();
    m_noticeFetch = nullptr;
    const UpdateNotice notice = ParseUpdateNotice(text);
    if (!notice.usable)
        return;
    m_state.ExitPromoFlag = notice.exitPromoFlag;
    if (notice.latestVersion)
        m_state.LatestVersion = *notice.latestVersion;
    if (UpdateOfferDue(m_state.LatestVersion, m_state.InstalledVersion) && UpdateOffer())
        return;
    if (notice.floatingPromotion)
        m_Timer2->start();
}

bool BA1::UpdateOffer()
{
    const QString text = QStringLiteral("检测到最新版本 ") + m_state.LatestVersion + QStringLiteral(" ,你需要现在升级吗？");
    if (ShowMessage(this, text, OFFER_TITLE, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    // The updater beside the executable, else the installer on the portal.
    // Neither failing keeps the program from quitting.
    const QString updater = QDir(m_paths.installedDir()).filePath(QStringLiteral("update"));
    if (QFileInfo(updater).isFile())
        QProcess::startDetached(updater, {}, m_paths.installedDir());
    else
        QDesktopServices::openUrl(QUrl(m_portalBase + QStringLiteral("update/setup.exe")));
    m_state.ExitPromoFlag = QStringLiteral("0");
    ttt_v();
    return true;
}

void BA1::shengji()
{
    if (OnDemandOfferDue(m_state.LatestVersion, m_state.InstalledVersion))
        UpdateOffer();
    else
        ShowMessage(this, UP_TO_DATE, QStringLiteral("提示："));
}

void BA1::Timer2_Timer()
{
    m_Timer2->stop();
    // While the boss key hides the program nothing of it may pop up: the
    // floating window is dropped for this run, as the boss key drops it
    // when it is already open.
    if (m_adsb || (m_bossHidden && !isVisible()))
        return;
    m_adsb = new adsb(webProfile(), m_portalBase);
    m_adsb->show();
}

adsb *BA1::floatingPromotion() const
{
    return m_adsb;
}

ba4 *BA1::exitPromotion() const
{
    return m_ba4;
}

void BA1::UnloadAdsb()
{
    if (m_adsb)
        m_adsb->close();
}

bool BA1::ShowExitPromotion()
{
    // The main window is unloaded: its check and its timers end with it.
    for (QTimer *timer : {m_Timer1, m_Timer2})
        if (timer)
            timer->stop();
    delete m_noticeFetch;
    m_noticeFetch = nullptr;
    if (m_state.ExitPromoFlag != QLatin1String("1")) {
        if (m_ba4)
            m_ba4->close();
        return false;
    }
    if (!m_ba4) {
        m_ba4 = new ba4(webProfile(), m_portalBase);
        connect(m_ba4, &PromotionWindow::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    m_ba4->show();
    return true;
}

void BA1::DeletePromotionWindows()
{
    // Their pages use the program's profile, which goes with this window.
    delete m_adsb;
    delete m_ba4;
}
