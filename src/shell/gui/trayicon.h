#pragma once

#include "shell/gui/windowhooks.h"
#include "shell/traytext.h"

#include <QEvent>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>

class QMenu;
class QWidget;

// A click on the notification-area icon. The icon sends it to its form, where
// it passes the form's hook chain like any other window event.
class TrayIconEvent : public QEvent
{
public:
    enum class Button { Left, Right };
    TrayIconEvent(Button button, const QPoint &globalPos);
    static QEvent::Type eventType();

    Button button() const { return m_button; }
    QPoint globalPos() const { return m_globalPos; }

private:
    Button m_button;
    QPoint m_globalPos;
};

// The icon's hook on its form. A left click restores a minimised form (and
// goes no further), else hides a visible form or shows a hidden one and
// passes the click on; a right click pops up the menu at the pointer.
class TrayWndProc : public WindowHook
{
    Q_OBJECT

public:
    // `menu` gives the menu to pop up at the time of the click (the form that
    // carries it may have been unloaded and loaded again); null pops up nothing.
    TrayWndProc(QWidget *form, std::function<QMenu *()> menu);

protected:
    bool hookEvent(QEvent *event) override;

private:
    std::function<QMenu *()> m_menu;
};

// The program's icon in the desktop's notification area, with its tip and
// balloons. One object per main window; the icon goes away with it.
//
// Desktops that end a program's icons with the program (X11's tray
// protocol among them) need no sweep for the dead icons of a killed process.
class TrayIcon final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayIcon)

public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    // Hooks the form (TrayWndProc) and shows the icon with the form's icon and
    // `tip` (cut to the tip field). A desktop that gets a notification area
    // later shows the icon then.
    void TrayAdd(QWidget *form, std::function<QMenu *()> menu, const QString &tip);
    // Shows a balloon on the icon: the fixed title with the information sign
    // and `text` (both cut to their fields); the icon and tip are refreshed
    // from the form first. Where the desktop has no notification area (or it
    // shows no balloons), the same title and text go to the desktop's
    // notification service, with the program's name and icon; where there is
    // neither, nothing shows. Nothing shows while the icon is hidden.
    void TrayBalloon(const QString &text);
    // Takes the icon away for good and unhooks the form.
    void TrayRemove();
    // Takes the icon away and brings it back, unchanged (the boss key).
    void TrayHide();
    void TrayShow();

    // Whether the desktop has a notification area right now.
    static bool isAvailable();
    // The icon is meant to be shown (added, not hidden or removed).
    bool isShown() const;
    // Where the notification area shows the icon; empty while it does not.
    QRect geometry() const;
    QString toolTip() const;
    // The last balloon asked for (empty before the first).
    BalloonContent lastBalloon() const;

    // The menu the icon opens on a right click (r_m), as the tray host holds it.
    QMenu *contextMenu() const;

private:
    void giveMenu();

    class Impl; // the platform's notification-area backend
    std::unique_ptr<Impl> m_impl;
};
