#include "support/eventwait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace KavoTest
{
namespace
{
// The pause between two looks at the condition (a look may itself take a
// while: a page script, a grab of a pane); events are handled as they come.
constexpr int CHECK_INTERVAL_MS = 10;
}

bool WaitUntil(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    const QDeadlineTimer deadline(timeoutMs);
    QTimer slice;
    slice.setSingleShot(true);
    do {
        // Where QTest::qWaitFor sleeps, this blocks in the event dispatcher,
        // which wakes for whatever comes in the meantime. No nested
        // QEventLoop: one would return at once once the program has asked
        // the application to quit, and would keep objects given up with
        // deleteLater().
        slice.start(CHECK_INTERVAL_MS);
        while (slice.isActive())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (done())
            return true;
    } while (!deadline.hasExpired());
    return false;
}

int WaitUntilElapsed(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    WaitUntil(done, timeoutMs);
    return int(waited.elapsed());
}
}
