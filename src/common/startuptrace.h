#pragma once

#include <QDateTime>
#include <QtGlobal>

#include <cstdio>

// Opt-in trace of the start-up steps (KAVO_STARTUP_TRACE set): one line
// "kavo-startup <step> <ms since the epoch>" on stderr per step, which
// bench/startup_bench.sh reads.
inline void StartupTrace(const char *step)
{
    static const bool on = qEnvironmentVariableIsSet("KAVO_STARTUP_TRACE");
    if (!on)
        return;
    std::fprintf(stderr, "kavo-startup %s %lld\n", step, static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
    std::fflush(stderr);
}
