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
    QEventLoop loop;
    QTimer slice;
    slice.setSingleShot(true);
    QObject::connect(&slice, &QTimer::timeout, &loop, &QEventLoop::quit);
    do {
        // Where QTest::qWaitFor sleeps, the loop runs, and handles whatever
        // comes in the meantime.
        slice.start(CHECK_INTERVAL_MS);
        loop.exec();
        // Out here, at the caller's level, as QTest::qWaitFor does: objects
        // given up with deleteLater() are gone before the condition is
        // looked at (a nested loop would keep them).
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
