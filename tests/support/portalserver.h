#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs the demo portal (kavo-portal) for a test on a free loopback port.
//
//     PortalServer portal;
//     QVERIFY2(portal.start({"--notice", "1====1====2.0"}), qPrintable(portal.errorString()));
//     view.load(QUrl(portal.baseUrl() + "app/app.asp?id=101"));
//     ...
//     QCOMPARE(portal.statsIds(), QStringList{"00-1A-2B-3C-4D-5E"});
//
// The statistics log (tj/tj.asp ids) and the access log live in a temporary
// folder of the server object unless the switches name other files. The
// server stops in the destructor.
class PortalServer
{
public:
    PortalServer();
    ~PortalServer();
    PortalServer(const PortalServer &) = delete;
    PortalServer &operator=(const PortalServer &) = delete;

    // Starts the server with extra switches (see `kavo-portal --help`), for
    // example {"--fault", "/lib/wenc.txt=404"}; waits until it listens.
    bool start(const QStringList &switches = {});
    // Stops it (SIGTERM, then kill if it does not end in a few seconds).
    void stop();
    bool isRunning() const;

    int port() const { return m_port; }
    QString baseUrl() const;              // "http://127.0.0.1:PORT/"
    QString logPath() const { return m_statsLog; }  // the statistics log
    QStringList statsIds() const;         // its lines, oldest first
    QStringList requests() const;         // requested targets ("/tj/tj.asp?id=X"), oldest first
    QString errorString() const { return m_error; }

    static QString binaryPath();          // the kavo-portal program
    // Folder of the generated games (<id>.swf) next to the program.
    static QString gamesDir();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    QString m_statsLog;
    QString m_accessLog;
    QString m_error;
};
