// kavo-portal: the demo game portal. Serves the static site, the Flash runtime
// files and the portal's dynamic addresses; with --fault and --big-file the
// same server plays a misbehaving portal for tests.
#include "portaloptions.h"
#include "portalsite.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>
#include <pthread.h>
#include <random>

namespace fs = std::filesystem;
using namespace portal;

namespace {

// Set once when the server is asked to stop; long-running responses (slow,
// stalled) wake up and end.
class StopSignal
{
public:
    void raise()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopped = true;
        }
        m_cv.notify_all();
    }
    // Waits up to the duration; false if the server is stopping.
    bool sleepFor(std::chrono::milliseconds d)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return !m_cv.wait_for(lock, d, [this] { return m_stopped; });
    }
    bool stopped()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_stopped;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stopped = false;
};

StopSignal g_stop;
std::atomic<uint64_t> g_bodyBytesSent{0};

// A stalled body hangs at most this long, so a forgotten client cannot keep a
// worker thread forever.
constexpr auto kMaxStall = std::chrono::seconds(120);

struct Delivery
{
    std::shared_ptr<const Content> content;
    uint64_t bytesPerSecond = 0;
    int64_t stallAfter = -1;
    int64_t cutAfter = -1;
    // Where this answer's body starts in the content (a range's first byte),
    // known at the first piece.
    std::shared_ptr<int64_t> start = std::make_shared<int64_t>(-1);
};

// Sends the next piece of the body from offset; false ends the connection.
bool sendPiece(const Delivery &d, uint64_t offset, uint64_t remaining, httplib::DataSink &sink)
{
    if (*d.start < 0)
        *d.start = int64_t(offset);
    if (d.cutAfter >= 0) {
        const int64_t sent = int64_t(offset) - *d.start;
        if (sent >= d.cutAfter)
            return false;
        remaining = std::min<uint64_t>(remaining, uint64_t(d.cutAfter - sent));
    }
    if (d.stallAfter >= 0 && offset >= uint64_t(d.stallAfter)) {
        const auto until = std::chrono::steady_clock::now() + kMaxStall;
        while (std::chrono::steady_clock::now() < until && g_stop.sleepFor(std::chrono::milliseconds(200))) {
        }
        return false;
    }
    uint64_t chunk = std::min<uint64_t>(remaining, 64 * 1024);
    if (d.bytesPerSecond)
        chunk = std::min<uint64_t>(chunk, std::max<uint64_t>(1, d.bytesPerSecond / 10));
    if (d.stallAfter >= 0)
        chunk = std::min<uint64_t>(chunk, uint64_t(d.stallAfter) - offset);
    std::string buffer(size_t(chunk), '\0');
    d.content->read(offset, buffer.data(), buffer.size());
    if (!sink.write(buffer.data(), buffer.size()))
        return false;
    g_bodyBytesSent += buffer.size();
    if (d.bytesPerSecond)
        return g_stop.sleepFor(std::chrono::milliseconds(chunk * 1000 / d.bytesPerSecond));
    return !g_stop.stopped();
}

std::string baseUrl(const httplib::Request &req, const Options &o)
{
    std::string host = req.get_header_value("Host");
    if (host.empty())
        host = o.host + ":" + std::to_string(req.local_port);
    return "http://" + host + "/";
}

const Fault *findFault(const Options &o, const httplib::Request &req)
{
    auto it = o.faults.find(req.target);
    if (it == o.faults.end())
        it = o.faults.find(req.path);
    return it == o.faults.end() ? nullptr : &it->second;
}

void handle(Site &site, const Options &o, const httplib::Request &req, httplib::Response &res)
{
    // The home line's round trip comes before every answer, a 304 too.
    if (o.linkDelayMs > 0 && !g_stop.sleepFor(std::chrono::milliseconds(o.linkDelayMs)))
        return;
    const Fault *fault = findFault(o, req);
    if (fault && fault->status) {
        res.status = fault->status;
        res.set_content("<html><body><h1>" + std::to_string(fault->status) + "</h1></body></html>",
                        "text/html; charset=utf-8");
        return;
    }
    if (fault && !fault->redirectTo.empty()) {
        res.set_redirect(fault->redirectTo, 302);
        return;
    }
    if (fault && fault->captive) {
        res.status = 200;
        res.set_content("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>上网认证</title></head>"
                        "<body><form action=\"/login\"><p>请输入手机号码登录后上网</p>"
                        "<input name=\"name\"><button>登录</button></form></body></html>",
                        "text/html; charset=utf-8");
        return;
    }
    if (fault && fault->random) {
        std::string bytes(4096, '\0');
        std::random_device device;
        std::mt19937 engine(device());
        for (char &c : bytes)
            c = char(engine());
        res.status = 200;
        res.set_content(bytes, "application/octet-stream");
        return;
    }

    Visit visit;
    visit.id = req.get_param_value("id");
    visit.name = req.get_param_value("name");
    visit.user = Site::userFromCookies(req.get_header_value("Cookie"));
    visit.base = baseUrl(req, o);
    auto content = std::make_shared<Content>(site.resolve(req.path, visit));
    for (const auto &[name, value] : content->headers)
        res.set_header(name, value);
    if (!fault && Site::notModified(*content, req.get_header_value("If-None-Match"),
                                    req.get_header_value("If-Modified-Since"))) {
        res.status = 304;
        return;
    }
    if (fault && fault->empty) {
        res.status = 200;
        res.set_content(std::string(), content->mime);
        return;
    }
    // Left unset for 200 so that a range request gets its 206.
    if (content->status != 200)
        res.status = content->status;
    // A range goes only where the client's copy is of this version.
    if (req.has_header("Range")
        && ((fault && fault->noRanges) || !Site::rangeAllowed(*content, req.get_header_value("If-Range"))))
        const_cast<httplib::Request &>(req).ranges.clear();
    const bool streamed = content->generated || content->file || o.linkBytesPerSecond
        || (fault && (fault->bytesPerSecond || fault->stallAfter >= 0 || fault->chunked || fault->cutAfter >= 0));
    if (!streamed) {
        res.set_content(std::move(content->data), content->mime);
        return;
    }
    Delivery d;
    d.content = content;
    d.bytesPerSecond = o.linkBytesPerSecond;
    if (fault) {
        if (fault->bytesPerSecond)
            d.bytesPerSecond = d.bytesPerSecond ? std::min(d.bytesPerSecond, fault->bytesPerSecond) : fault->bytesPerSecond;
        d.stallAfter = fault->stallAfter;
        d.cutAfter = fault->cutAfter;
    }
    if (fault && fault->chunked) {
        res.set_chunked_content_provider(content->mime, [d](size_t offset, httplib::DataSink &sink) {
            const uint64_t size = d.content->size();
            if (offset >= size) {
                sink.done();
                return true;
            }
            return sendPiece(d, offset, size - offset, sink);
        });
    } else {
        res.set_content_provider(size_t(content->size()), content->mime,
                                 [d](size_t offset, size_t length, httplib::DataSink &sink) {
                                     return sendPiece(d, offset, length, sink);
                                 });
    }
}

std::string programFolder()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path().string() : exe.parent_path().string();
}

} // namespace

int main(int argc, char **argv)
{
    Options o;
    std::string error;
    if (!parseOptions(std::vector<std::string>(argv + 1, argv + argc), o, error)) {
        std::cerr << "kavo-portal: " << error << "\n";
        return 2;
    }
    if (o.help) {
        std::cout << helpText();
        return 0;
    }
    const fs::path here = programFolder();
    if (o.root.empty())
        o.root = (here / "site").string();
    if (o.ruffle.empty())
        o.ruffle = (here / "ruffle").string();
    if (o.statsLog.empty())
        o.statsLog = (here / "temp" / "tj.log").string();
    std::error_code ec;
    if (!fs::is_directory(o.root, ec)) {
        std::cerr << "kavo-portal: site folder " << o.root << " not found (use --root)\n";
        return 1;
    }
    if (fs::path(o.statsLog).has_parent_path())
        fs::create_directories(fs::path(o.statsLog).parent_path(), ec);

    // Signals go to one waiting thread, which stops the server; the worker
    // threads never see them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Site site(o);
    httplib::Server server;
    // Short keep-alive: a stop waits for idle connections to close.
    server.set_keep_alive_timeout(1);
    // Player pages fetch games by address, which may name this server by
    // another host name than the page's own.
    if (o.cors)
        server.set_default_headers({{"Access-Control-Allow-Origin", "*"}});
    // The access log is written before the answer goes out, so a client that
    // has its answer finds the line there.
    std::mutex logMutex;
    server.Get(".*", [&](const httplib::Request &req, httplib::Response &res) {
        handle(site, o, req, res);
        if (o.accessLog.empty())
            return;
        std::lock_guard<std::mutex> lock(logMutex);
        std::ofstream out(o.accessLog, std::ios::binary | std::ios::app);
        out << req.method << ' ' << req.target << ' ' << (res.status > 0 ? res.status : 200) << '\n';
    });

    int port = o.port;
    if (port == 0) {
        port = server.bind_to_any_port(o.host);
        if (port <= 0) {
            std::cerr << "kavo-portal: cannot listen on " << o.host << "\n";
            return 1;
        }
    } else if (!server.bind_to_port(o.host, port)) {
        std::cerr << "kavo-portal: cannot listen on " << o.host << ":" << port << "\n";
        return 1;
    }
    std::printf("listening %d\n", port);
    std::fflush(stdout);

    // The library ignores stop() until its accept loop runs, so a signal that
    // comes early waits for the loop (or for main to skip it).
    std::atomic<bool> done{false};
    std::thread waiter([&] {
        int sig = 0;
        sigwait(&signals, &sig);
        g_stop.raise();
        while (!done.load()) {
            if (server.is_running()) {
                server.stop();
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    const bool ok = g_stop.stopped() || server.listen_after_bind();
    done = true;
    if (!g_stop.stopped()) {
        // The server ended on its own (an error): wake the waiter to finish.
        g_stop.raise();
        pthread_kill(waiter.native_handle(), SIGTERM);
    }
    waiter.join();
    if (o.reportSent) {
        std::printf("sent %llu\n", (unsigned long long)g_bodyBytesSent.load());
        std::fflush(stdout);
    }
    return ok || g_stop.stopped() ? 0 : 1;
}
