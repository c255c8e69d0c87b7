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

#include "support/sessionbus.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

class InputMethodSession
{
public:
    ~InputMethodSession();
    // Starts the bus and the daemon, chooses `engine` and sets QT_IM_MODULE
    // and IBUS_ADDRESS_FILE of this process; false with error() when a step
    // fails.
    bool start(const QString &engine);
    QString error() const { return m_error; }

private:
    // The output of the daemon's command line tool on the test's bus.
    QString ibus(const QStringList &arguments) const;

    QTemporaryDir m_home;
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();
    PrivateSessionBus m_bus;
    QProcess m_daemon;
    QString m_error;
};
