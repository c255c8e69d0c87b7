#pragma once

#include <QObject>
#include <QString>

#include <memory>

// The single-instance service of one application folder and user (see
// SingleInstanceName). The first process to claim a name becomes the running
// instance and keeps it until the object is destroyed or the process ends,
// however it ends: a claim left by a killed process does not count. Two
// processes claiming at the same moment never both win.
//
// The running instance takes hand-offs from later starts and reports each as
// handedOver, on the thread that created the object, once its event loop runs.
// A start that lost the claim calls handOff and then ends.
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)

public:
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process now runs the folder: it won the claim, or the
    // claim could not be checked at all (a start is never refused for that).
    bool isRunningInstance() const;

    // Sends the command line to the running instance and waits at most
    // `timeoutMs` for its answer, which includes the time the running
    // instance may need to start listening. True when it answered.
    bool handOff(const QString &commandLine, int timeoutMs);

Q_SIGNALS:
    void handedOver(const QString &commandLine);

private:
    class Impl; // the platform's local-socket backend
    std::unique_ptr<Impl> m_impl;
};
