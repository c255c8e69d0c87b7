#include "startup/quitsignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace
{
constexpr int SIGNALS[] = {SIGTERM, SIGINT, SIGHUP};

int s_pipe[2] = {-1, -1};
std::atomic<bool> s_received{false};
struct sigaction s_previous[std::size(SIGNALS)];

void onSignal(int signalNumber)
{
    // A second signal: the quit under way may hang, so end as the signal would.
    if (s_received.exchange(true)) {
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
        return;
    }
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
    errno = savedErrno;
}

void closePipe()
{
    for (int &fd : s_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}
} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    if (s_pipe[0] >= 0 || ::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    s_received = false;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(SIGNALS); ++i) {
        if (::sigaction(SIGNALS[i], &action, &s_previous[i]) != 0) {
            for (size_t j = 0; j < i; ++j)
                ::sigaction(SIGNALS[j], &s_previous[j], nullptr);
            closePipe();
            return;
        }
    }
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readSignal);
}

QuitSignals::~QuitSignals()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < std::size(SIGNALS); ++i)
        ::sigaction(SIGNALS[i], &s_previous[i], nullptr);
    delete m_notifier;
    closePipe();
}

void QuitSignals::readSignal()
{
    char byte = 0;
    while (::read(s_pipe[0], &byte, 1) == 1)
        Q_EMIT quitRequested(int(byte));
}
