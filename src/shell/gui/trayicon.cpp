#include "shell/gui/trayicon.h"

#include "shell/gui/windowstate.h"

#include <QMenu>
#include <QWidget>

TrayIconEvent::TrayIconEvent(Button button, const QPoint &globalPos)
    : QEvent(eventType())
    , m_button(button)
    , m_globalPos(globalPos)
{
}

QEvent::Type TrayIconEvent::eventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

TrayWndProc::TrayWndProc(QWidget *form, std::function<QMenu *()> menu)
    : WindowHook(form)
    , m_menu(std::move(menu))
{
}

bool TrayWndProc::hookEvent(QEvent *event)
{
    if (event->type() != TrayIconEvent::eventType())
        return false;
    const auto *click = static_cast<TrayIconEvent *>(event);
    QWidget *form = hookedWindow();
    if (click->button() == TrayIconEvent::Button::Right) {
        if (QMenu *menu = m_menu ? m_menu() : nullptr)
            menu->popup(click->globalPos());
        return true;
    }
    if (form->isMinimized()) {
        // Back to the state it had before it was minimised (normal, or maximised).
        form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
        BringToFront(form);
        return true;
    }
    if (form->isVisible()) {
        form->hide();
    } else {
        ForgetMinimisedState(form);
        form->show();
        BringToFront(form);
    }
    return false;
}
