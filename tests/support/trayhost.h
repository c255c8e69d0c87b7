#pragma once

// The desktop around the program in a test: a notification area (the tray
// host trayer, embedding icons by the X11 tray protocol) and real input.

#include <QProcess>
#include <QStringList>

class TrayHost
{
public:
    // Starts the host on the test's display and waits until it owns the
    // notification area; running() tells whether it did.
    TrayHost();
    // Stops it and waits until the notification area is gone.
    ~TrayHost();
    bool running() const { return m_running; }
    void stop();

private:
    QProcess m_process;
    bool m_running = false;
};

// Runs xdotool with `arguments` (real input through the X server's test
// extension); true when it succeeded.
bool Xdotool(const QStringList &arguments);
// A click of `button` at a point of the screen.
bool ClickAt(const QPoint &screenPos, int button = 1);
