#include "services/gui/promotionwindow.h"

#include "portal/gui/webpane.h"
#include "resources/gui/skinresources.h"
#include "services/promotionplace.h"
#include "shell/framegeometry.h"
#include "shell/gui/picturebox.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QUrl>

PromotionWindow::PromotionWindow(QWebEngineProfile *profile, const QString &caption, const QSize &client,
                                 const QRect &closePicture, const QImage &closeImage)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(caption);
    setWindowIcon(AppIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    // The program ends where its owner decides, not when a promotion closes.
    setAttribute(Qt::WA_QuitOnClose, false);
    // A screen smaller than the window (or a large scale factor) gets a
    // window as large as its work area; the close picture keeps its corner.
    const QScreen *screen = QGuiApplication::primaryScreen();
    resize(FrameGeometry::FitInside(QRect(QPoint(), client), screen ? screen->availableGeometry() : QRect()).size());
    m_closeFromRight = client.width() - closePicture.x();

    m_Pc1 = new PictureBox(this, Qt::white);
    m_Web1 = new WebPane(profile, m_Pc1);
    m_Picture1 = new PictureBox(m_Pc1);
    m_Picture1->setPicture(closeImage);
    m_Picture1->setGeometry(closePicture);
    m_Picture1->setCursor(Qt::PointingHandCursor);
    m_Picture1->raise();

    connect(m_Picture1, &PictureBox::clicked, this, &PromotionWindow::Picture1_Click);
    connect(m_Web1, &WebPane::DownloadBegin, m_Web1, [this] { m_Web1->setSilent(true); });
    connect(m_Web1, &WebPane::NewWindow2, this, &PromotionWindow::Web1_NewWindow2, Qt::DirectConnection);
    connect(m_Web1, &WebPane::NewWindowRequested, this,
            [](const QString &url) { QDesktopServices::openUrl(QUrl(url)); });
    connect(m_Web1, &WebPane::OpenInBrowser, this, [](const QString &url) { QDesktopServices::openUrl(QUrl(url)); });
    // A page whose renderer ends loads again, once; one that keeps ending
    // takes the promotion away.
    connect(m_Web1, &WebPane::RendererEnded, this, [this](bool again) {
        if (again)
            close();
        else
            m_Web1->LoadAgain();
    });
    Form_Resize();
}

void PromotionWindow::Picture1_Click()
{
    close();
}

void PromotionWindow::Web1_NewWindow2(bool *)
{
    // Closed once the pane has handed the address to the user's browser.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void PromotionWindow::resizeEvent(QResizeEvent *)
{
    Form_Resize();
}

void PromotionWindow::Form_Resize()
{
    if (isMinimized())
        return;
    m_Pc1->setGeometry(rect());
    // The pane's own border lies outside the window.
    m_Web1->setGeometry(-2, -2, m_Pc1->width() + 4, m_Pc1->height() + 4);
    m_Picture1->move(width() - m_closeFromRight, m_Picture1->y());
    m_Picture1->raise();
}

void PromotionWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_closing)
        return;
    m_closing = true;
    Q_EMIT closed();
}

adsb::adsb(QWebEngineProfile *profile, const QString &portalBase)
    : PromotionWindow(profile, QStringLiteral("Kavo游戏盒推荐"), QSize(268, 200), QRect(252, 3, 11, 11),
                      PromotionCloseImage(PromotionClose::Floating))
{
    setWindowFlag(Qt::WindowStaysOnTopHint);
    Form_Load(portalBase);
}

void adsb::Form_Load(const QString &portalBase)
{
    // Bottom right of the screen, and wholly on its work area: a panel
    // taller than the gap below the window pushes it up.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(FrameGeometry::FitInside(QRect(FloatingPromotionPlace(screen->geometry(), size()), size()),
                                      screen->availableGeometry())
                 .topLeft());
    Web1()->setPortal(portalBase);
    Web1()->Navigate(portalBase + QStringLiteral("js/ads/fudong.html"));
}

ba4::ba4(QWebEngineProfile *profile, const QString &portalBase)
    : PromotionWindow(profile, QStringLiteral("推荐"), QSize(350, 250), QRect(296, 4, 51, 21),
                      PromotionCloseImage(PromotionClose::Recommendation))
{
    m_Timer1 = new QTimer(this);
    m_Timer1->setSingleShot(true);
    m_Timer1->setTimerType(Qt::PreciseTimer);
    m_Timer1->setInterval(CLOSE_AFTER_MS);
    connect(m_Timer1, &QTimer::timeout, this, &QWidget::close);
    m_Timer1->start();
    Web1()->setPortal(portalBase);
    Web1()->Navigate(portalBase + QStringLiteral("js/ads/tui.html"));
}
