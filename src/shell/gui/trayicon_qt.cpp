// The notification-area backend of the toolkit: on X11 the icon is embedded
// by the desktop's tray host, and balloons are drawn beside it by the toolkit
// (or by the desktop's notification service where there is one). The menu is
// given to the icon, so that the toolkit or the tray host opens it at the
// icon (a Wayland desktop's host over StatusNotifierItem knows where that
// is; the program does not). Where no notification area shows the icon or
// its balloons (GNOME without an extension), the balloons go to the
// desktop's notification service instead.
#include "shell/gui/trayicon.h"

#include "shell/gui/trayicon_p.h"

#include <QCoreApplication>
#include <QCursor>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>

class TrayIcon::Impl
{
public:
    QSystemTrayIcon icon;
    DesktopNotifier notifier;
    QPointer<QWidget> form;
    QPointer<TrayWndProc> hook;
    std::function<QMenu *()> menu;
    BalloonContent last;
    bool added = false;
    bool hidden = false;
};

TrayIcon::TrayIcon(QObject *parent)
    : QObject(parent)
    , m_impl(std::make_unique<Impl>())
{
    connect(&m_impl->icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        QWidget *form = m_impl->form;
        if (!form || !m_impl->hook)
            return;
        TrayIconEvent::Button button;
        switch (reason) {
        case QSystemTrayIcon::Trigger:
        case QSystemTrayIcon::DoubleClick: // the second press of a double click
            button = TrayIconEvent::Button::Left;
            break;
        case QSystemTrayIcon::Context:
            // The icon opens its menu itself.
            if (m_impl->icon.contextMenu())
                return;
            button = TrayIconEvent::Button::Right;
            break;
        default:
            return;
        }
        TrayIconEvent click(button, QCursor::pos());
        QCoreApplication::sendEvent(form, &click);
    });
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::TrayAdd(QWidget *form, std::function<QMenu *()> menu, const QString &tip)
{
    m_impl->form = form;
    delete m_impl->hook;
    m_impl->menu = menu;
    m_impl->hook = new TrayWndProc(form, std::move(menu));
    giveMenu();
    m_impl->icon.setIcon(form->windowIcon());
    m_impl->icon.setToolTip(TrayTipText(tip));
    m_impl->added = true;
    m_impl->hidden = false;
    m_impl->icon.show();
}

void TrayIcon::TrayBalloon(const QString &text)
{
    m_impl->last = MakeBalloon(text);
    if (QWidget *form = m_impl->form) {
        m_impl->icon.setIcon(form->windowIcon());
        m_impl->icon.setToolTip(TrayTipText(form->windowTitle()));
    }
    if (!isShown())
        return;
    if (QSystemTrayIcon::isSystemTrayAvailable() && QSystemTrayIcon::supportsMessages())
        m_impl->icon.showMessage(m_impl->last.title, m_impl->last.text, QSystemTrayIcon::Information);
    else
        m_impl->notifier.Notify(m_impl->icon.icon(), m_impl->last.title, m_impl->last.text);
}

void TrayIcon::TrayRemove()
{
    m_impl->added = false;
    m_impl->icon.hide();
    delete m_impl->hook;
}

void TrayIcon::TrayHide()
{
    m_impl->hidden = true;
    m_impl->icon.hide();
}

void TrayIcon::TrayShow()
{
    m_impl->hidden = false;
    if (m_impl->added) {
        giveMenu();
        m_impl->icon.show();
    }
}

void TrayIcon::giveMenu()
{
    // The form that carries the menu may have been unloaded (the boss key
    // unloads it): the icon then holds none until it is given again.
    m_impl->icon.setContextMenu(m_impl->menu ? m_impl->menu() : nullptr);
}

bool TrayIcon::isAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayIcon::isShown() const
{
    return m_impl->added && !m_impl->hidden;
}

QRect TrayIcon::geometry() const
{
    return isShown() ? m_impl->icon.geometry() : QRect();
}

QString TrayIcon::toolTip() const
{
    return m_impl->icon.toolTip();
}

BalloonContent TrayIcon::lastBalloon() const
{
    return m_impl->last;
}

QMenu *TrayIcon::contextMenu() const
{
    return m_impl->icon.contextMenu();
}
