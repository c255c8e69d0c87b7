#pragma once

#include <QByteArray>
#include <QProcess>

// A session bus of the test's own (dbus-daemon with the session's rules), for
// services a test starts or stands in for. Start it before the application
// object, whose session-bus connection is made once; the bus ends with the
// object.
class PrivateSessionBus
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    // Its address (empty when the daemon did not start).
    QByteArray address() const { return m_address; }

private:
    QProcess m_bus;
    QByteArray m_address;
};
