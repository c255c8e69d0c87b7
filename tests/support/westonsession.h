#pragma once

// A private Wayland session for a test: the Weston compositor (headless,
// drawing in software) with XWayland beside it, as GNOME and KDE run today.
//
//     WestonSession session;
//     if (!session.start())
//         QSKIP(qPrintable(session.errorString()));
//     process.setProcessEnvironment(session.environment(WestonSession::Both));
//
// XWayland starts with the session (Weston would start it on the first X
// client). Everything ends with the object.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

class WestonSession
{
public:
    enum Displays { Both, WaylandOnly };

    WestonSession();
    ~WestonSession();
    WestonSession(const WestonSession &) = delete;
    WestonSession &operator=(const WestonSession &) = delete;

    // False when Weston is missing or does not come up; errorString() says why.
    bool start();
    QString errorString() const { return m_error; }

    QString waylandDisplay() const { return m_socket; }
    QString xDisplay() const { return m_xDisplay; }
    // This process's environment inside the session: XDG_RUNTIME_DIR,
    // WAYLAND_DISPLAY, XDG_SESSION_TYPE=wayland and, with Both, DISPLAY; no
    // QT_QPA_PLATFORM (the program chooses).
    QProcessEnvironment environment(Displays displays) const;
    // Runs an X client's command line tool on the session's X display.
    bool x(const QString &program, const QStringList &arguments, QByteArray *output = nullptr) const;

private:
    QTemporaryDir m_runtime;
    QProcess m_weston;
    QString m_socket;
    QString m_xDisplay;
    QString m_error;
};
