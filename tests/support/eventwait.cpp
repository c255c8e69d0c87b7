#include "support/eventwait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <memory>

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

bool Settle(int timeoutMs)
{
    // Posted events of a thread are handled in the order they were posted:
    // once this marker has run, so has everything posted before it. A zero
    // timer started before now is due as well, and comes first.
    auto reached = std::make_shared<bool>(false);
    QTimer::singleShot(0, qApp, [reached] {
        QMetaObject::invokeMethod(qApp, [reached] { *reached = true; }, Qt::QueuedConnection);
    });
    const bool ok = WaitUntil([reached] { return *reached; }, timeoutMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ok;
}

int WaitUntilElapsed(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    WaitUntil(done, timeoutMs);
    return int(waited.elapsed());
}
}
