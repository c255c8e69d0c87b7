#pragma once

// The desktop's input method for a test: a session bus of the test's own, the
// input method daemon on it (no panel, its files in a folder of its own) with
// one engine chosen, and the toolkit pointed at it. The toolkit picks its
// input method when the application object is made, so start() comes first:
//
//     InputMethodSession im;
//     const bool ready = im.start(QStringLiteral("libpinyin"));
//     QApplication app(argc, argv);
//
// The daemon and the bus end with the object.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

class InputMethodSession
{
public:
    InputMethodSession() = default;
    ~InputMethodSession();
    InputMethodSession(const InputMethodSession &) = delete;
    InputMethodSession &operator=(const InputMethodSession &) = delete;

    // Starts the bus and the daemon, chooses `engine` and sets QT_IM_MODULE
    // and IBUS_ADDRESS_FILE of this process; false with error() when any step
    // fails.
    bool start(const QString &engine);
    QString error() const { return m_error; }
    // The daemon's current engine ("" when it cannot be asked).
    QString engine() const;

private:
    // Runs the daemon's command line tool on the test's bus; its output, or
    // a null string when it failed.
    QString ibus(const QStringList &arguments) const;
    bool fail(const QString &why);

    QTemporaryDir m_home;
    QProcessEnvironment m_env;
    QProcess m_bus;
    QProcess m_daemon;
    QString m_error;
};
