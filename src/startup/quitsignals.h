#pragma once

#include <QObject>

class QSocketNotifier;

// The signals that end a program from outside (SIGTERM from a desktop session
// or a service manager, SIGINT from a terminal, SIGHUP when the terminal goes)
// turned into quitRequested, delivered by the event loop of the thread that
// created the object, so that the program ends through its normal quit path
// and its data reach the disk.
//
// One object per process. While it lives, the three signals no longer end the
// process by themselves: the handler only writes the signal number to a pipe
// (safe in a signal handler) and the object reads it. A second signal after the
// first was delivered ends the process the default way, so a quit path that
// hangs can still be ended. Destruction restores the previous handlers.
class QuitSignals final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QuitSignals)

public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

    // False when the pipe or a handler could not be set up (the signals then
    // keep their previous effect).
    bool isActive() const { return m_notifier != nullptr; }

Q_SIGNALS:
    void quitRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
