// Serves generated files over loopback for the download benchmark:
// GET /<bytes> answers with that many bytes (with Content-Length).
// Usage: dlserver [port]   (prints the port it listens on, then serves)
#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    std::vector<char> block(1 << 20);
    unsigned x = 2463534242u;
    for (char &c : block) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }

    httplib::Server server;
    server.Get(R"(/(\d+))", [&block](const httplib::Request &req, httplib::Response &res) {
        const size_t size = std::stoull(req.matches[1]);
        res.set_content_provider(size, "application/octet-stream",
            [&block](size_t offset, size_t length, httplib::DataSink &sink) {
                const size_t at = offset % block.size();
                const size_t n = std::min(length, block.size() - at);
                return sink.write(block.data() + at, n);
            });
    });

    const int wanted = argc > 1 ? std::atoi(argv[1]) : 0;
    const int port = wanted > 0 && server.bind_to_port("127.0.0.1", wanted)
        ? wanted
        : server.bind_to_any_port("127.0.0.1");
    if (port <= 0)
        return 1;
    std::printf("%d\n", port);
    std::fflush(stdout);
    return server.listen_after_bind() ? 0 : 1;
}
