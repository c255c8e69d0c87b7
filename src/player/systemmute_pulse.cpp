#include "player/systemmute.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QtGlobal>

#include <functional>

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>

namespace
{
// One short-lived connection to the sound server, driven by hand so that no
// step can wait longer than the caller's deadline.
class PulseSession
{
public:
    explicit PulseSession(int timeoutMs)
        : m_deadline(timeoutMs)
    {
        m_loop = pa_mainloop_new();
        if (!m_loop)
            return;
        m_context = pa_context_new(pa_mainloop_get_api(m_loop), "Kavo");
    }

    ~PulseSession()
    {
        if (m_context) {
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
        if (m_loop)
            pa_mainloop_free(m_loop);
    }

    PulseSession(const PulseSession &) = delete;
    PulseSession &operator=(const PulseSession &) = delete;

    bool connect()
    {
        if (!m_context)
            return false;
        // Never start a server of our own: where none runs, the mute is
        // simply not available.
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return false;
        return waitUntil([this] { return pa_context_get_state(m_context) == PA_CONTEXT_READY; });
    }

    // Runs the loop until `done` holds; false on the deadline or when the
    // connection broke.
    bool waitUntil(const std::function<bool()> &done)
    {
        while (!done()) {
            const pa_context_state_t state = pa_context_get_state(m_context);
            if (!PA_CONTEXT_IS_GOOD(state) || m_deadline.hasExpired())
                return false;
            const qint64 leftUs = qMax<qint64>(m_deadline.remainingTime(), 1) * 1000;
            if (pa_mainloop_prepare(m_loop, int(qMin<qint64>(leftUs, 100000))) < 0
                || pa_mainloop_poll(m_loop) < 0 || pa_mainloop_dispatch(m_loop) < 0)
                return false;
        }
        return true;
    }

    // Waits for a started operation; the operation is cancelled if it is
    // still running when the wait gives up.
    bool finish(pa_operation *op)
    {
        if (!op)
            return false;
        const bool done = waitUntil([op] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; });
        if (!done)
            pa_operation_cancel(op);
        pa_operation_unref(op);
        return done;
    }

    pa_context *context() const { return m_context; }

private:
    QDeadlineTimer m_deadline;
    pa_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
};

struct SinkQuery
{
    QByteArray defaultSink;
    std::optional<bool> muted;
    bool changed = false;
};

void onServerInfo(pa_context *, const pa_server_info *info, void *userdata)
{
    if (info && info->default_sink_name)
        static_cast<SinkQuery *>(userdata)->defaultSink = info->default_sink_name;
}

void onSinkInfo(pa_context *, const pa_sink_info *info, int eol, void *userdata)
{
    if (eol == 0 && info)
        static_cast<SinkQuery *>(userdata)->muted = info->mute != 0;
}

void onMuteSet(pa_context *, int success, void *userdata)
{
    static_cast<SinkQuery *>(userdata)->changed = success != 0;
}
}

std::optional<bool> SystemMute::run(Action action, int timeoutMs)
{
    PulseSession session(timeoutMs);
    if (!session.connect())
        return std::nullopt;

    pa_context *context = session.context();
    SinkQuery query;
    if (!session.finish(pa_context_get_server_info(context, onServerInfo, &query))
        || query.defaultSink.isEmpty())
        return std::nullopt;
    if (!session.finish(pa_context_get_sink_info_by_name(context, query.defaultSink.constData(),
                                                         onSinkInfo, &query))
        || !query.muted)
        return std::nullopt;
    if (action == Action::Read)
        return query.muted;

    const bool target = !*query.muted;
    if (!session.finish(pa_context_set_sink_mute_by_name(context, query.defaultSink.constData(),
                                                         target, onMuteSet, &query))
        || !query.changed)
        return std::nullopt;
    return target;
}
