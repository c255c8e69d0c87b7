#pragma once

// Waiting in the event loop.
//
// The web engine runs its browser-side work on the GUI thread's event loop.
// QTest::qWait, qWaitFor and the QTRY_ macros built on them sleep the thread
// for 10 ms whenever no event is pending, so every round trip between the
// engine's processes waits out such a sleep: a window with eight panes then
// needs twenty seconds instead of one to load. WaitUntil blocks in the event
// dispatcher instead, which wakes the moment anything arrives, and this
// header makes the QTRY_ macros of every file that includes it wait the same way.

#include <QTest>

#include <functional>

namespace KavoTest
{
// Runs the event loop until `done` holds or `timeoutMs` has passed; returns
// whether `done` held. `done` is checked every few milliseconds, never from
// inside itself (a check may run a nested loop, for example a page script).
bool WaitUntil(const std::function<bool()> &done, int timeoutMs = 5000);

// The milliseconds WaitUntil waited (the QTRY_ macros report them).
int WaitUntilElapsed(const std::function<bool()> &done, int timeoutMs);

// Runs the event loop until everything posted to this thread before the call
// (events, queued calls, timers due at once) has been handled and objects
// given up with deleteLater() are gone. The sync point after which a
// consequence the program queued for later would have happened; false only
// when the loop did not get there within `timeoutMs`.
bool Settle(int timeoutMs = 5000);
}

// The QTRY_ loop: same contract as QtTest's (ends with the count of waited
// milliseconds in qt_test_i, stops early once the running test failed).
#undef QTRY_LOOP_IMPL
#define QTRY_LOOP_IMPL(expr, timeoutValue, step) \
    Q_UNUSED(step); \
    int qt_test_i = KavoTest::WaitUntilElapsed( \
        [&]() -> bool { return (QTest::runningTest() && QTest::currentTestFailed()) || bool(expr); }, \
        timeoutValue); \
    Q_UNUSED(qt_test_i);
