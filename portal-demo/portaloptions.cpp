#include "portaloptions.h"

#include <charconv>

namespace portal {

namespace {

bool toNumber(const std::string &text, uint64_t &value)
{
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

std::string normalisePath(std::string path)
{
    if (path.empty() || path[0] != '/')
        path.insert(path.begin(), '/');
    return path;
}

// "PATH=VALUE" -> path (with a leading "/") and value.
bool splitAssignment(const std::string &arg, std::string &path, std::string &value)
{
    const size_t eq = arg.rfind('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == arg.size())
        return false;
    path = normalisePath(arg.substr(0, eq));
    value = arg.substr(eq + 1);
    return true;
}

} // namespace

bool parseFault(const std::string &arg, std::map<std::string, Fault> &faults, std::string &error)
{
    // The path may carry a query with "=" in it, and a redirect target may
    // too: the faults start after the first "=" that is followed by a known
    // fault word or a status number.
    static const char *const words[] = {"redirect:", "empty", "captive", "random", "slow:", "stall:", "chunked", "cut:", "norange"};
    size_t eq = std::string::npos;
    for (size_t i = arg.find('='); i != std::string::npos; i = arg.find('=', i + 1)) {
        const std::string rest = arg.substr(i + 1);
        bool known = !rest.empty() && rest.find_first_not_of("0123456789") == rest.find(',');
        for (const char *w : words)
            known = known || rest.rfind(w, 0) == 0;
        if (known) {
            eq = i;
            break;
        }
    }
    if (eq == std::string::npos || eq == 0) {
        error = "--fault needs PATH=FAULTS, got \"" + arg + "\"";
        return false;
    }
    const std::string path = normalisePath(arg.substr(0, eq));
    Fault &f = faults[path];
    std::string faultText = arg.substr(eq + 1);
    // A redirect target may contain commas; it must be the last item.
    while (!faultText.empty()) {
        std::string item;
        if (faultText.rfind("redirect:", 0) == 0) {
            item = faultText;
            faultText.clear();
        } else {
            const size_t comma = faultText.find(',');
            item = faultText.substr(0, comma);
            faultText = comma == std::string::npos ? std::string() : faultText.substr(comma + 1);
        }
        uint64_t n = 0;
        if (item.rfind("redirect:", 0) == 0 && item.size() > 9) {
            f.redirectTo = item.substr(9);
        } else if (item == "empty") {
            f.empty = true;
        } else if (item == "captive") {
            f.captive = true;
        } else if (item == "random") {
            f.random = true;
        } else if (item == "chunked") {
            f.chunked = true;
        } else if (item == "norange") {
            f.noRanges = true;
        } else if (item.rfind("cut:", 0) == 0 && toNumber(item.substr(4), n)) {
            f.cutAfter = int64_t(n);
        } else if (item.rfind("slow:", 0) == 0 && toNumber(item.substr(5), n) && n > 0) {
            f.bytesPerSecond = n;
        } else if (item.rfind("stall:", 0) == 0 && toNumber(item.substr(6), n)) {
            f.stallAfter = int64_t(n);
        } else if (toNumber(item, n) && n >= 100 && n <= 599) {
            f.status = int(n);
        } else {
            error = "unknown fault \"" + item + "\" in --fault " + arg;
            return false;
        }
    }
    return true;
}

bool parseOptions(const std::vector<std::string> &args, Options &out, std::string &error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        auto value = [&](std::string &dest) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            dest = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            out.help = true;
        } else if (a == "--port") {
            uint64_t n = 0;
            if (!value(v))
                return false;
            if (!toNumber(v, n) || n > 65535) {
                error = "--port needs a number from 0 to 65535";
                return false;
            }
            out.port = int(n);
        } else if (a == "--host") {
            if (!value(out.host))
                return false;
        } else if (a == "--root") {
            if (!value(out.root))
                return false;
        } else if (a == "--ruffle") {
            if (!value(out.ruffle))
                return false;
        } else if (a == "--pages") {
            if (!value(out.pages))
                return false;
        } else if (a == "--stats-log") {
            if (!value(out.statsLog))
                return false;
        } else if (a == "--access-log") {
            if (!value(out.accessLog))
                return false;
        } else if (a == "--notice") {
            if (!value(out.notice))
                return false;
        } else if (a == "--fault") {
            if (!value(v) || !parseFault(v, out.faults, error))
                return false;
        } else if (a == "--no-cors") {
            out.cors = false;
        } else if (a == "--report-sent") {
            out.reportSent = true;
        } else if (a == "--link") {
            // RATE,DELAY: bytes per second and milliseconds.
            uint64_t rate = 0;
            uint64_t delay = 0;
            if (!value(v))
                return false;
            const size_t at = v.find(',');
            if (at == std::string::npos || !toNumber(v.substr(0, at), rate) || rate == 0
                || !toNumber(v.substr(at + 1), delay) || delay > 10000) {
                error = "--link needs RATE,DELAY (bytes per second above 0, milliseconds up to 10000), got \"" + v + "\"";
                return false;
            }
            out.linkBytesPerSecond = rate;
            out.linkDelayMs = int(delay);
        } else if (a == "--big-file") {
            std::string path, size;
            uint64_t mb = 0;
            if (!value(v))
                return false;
            if (!splitAssignment(v, path, size) || !toNumber(size, mb) || mb == 0 || mb > 65536) {
                error = "--big-file needs PATH=SIZE_MB (1 to 65536), got \"" + v + "\"";
                return false;
            }
            out.bigFiles[path] = mb * 1024 * 1024;
        } else {
            error = "unknown switch " + a + " (see --help)";
            return false;
        }
    }
    return true;
}

std::string helpText()
{
    return R"(kavo-portal: the demo game portal (a small web server on loopback).

Usage: kavo-portal [switches]

  --port N            port to listen on (default 8740); 0 picks a free one.
                      The first line printed is "listening N".
  --host ADDR         address to bind (default 127.0.0.1)
  --root DIR          the site folder (default: "site" beside the program)
  --ruffle DIR        the Flash runtime files, served under /ruffle/
                      (default: "ruffle" beside the program)
  --pages DIR         extra pages served under /pages/ (pages that behave as
                      real ones sometimes do, for tests); none by default
  --stats-log FILE    tj/tj.asp?id=X appends "X" and a newline here
                      (default: temp/tj.log beside the program)
  --access-log FILE   append "METHOD TARGET STATUS" for every request, before
                      the answer is sent
  --notice TEXT       content of lib/wenc.txt (default "0====0====1.0"): the
                      recommendation window at quit ("1"), the floating
                      promotion (1) and the latest version, "===="-separated
  --big-file PATH=MB  serve a generated file of MB mebibytes at PATH: the
                      header of a plain Flash movie of that length ("FWS",
                      version 10, the length in 4 bytes, low byte first),
                      then byte i is i % 251. Streamed, never held in memory.
                      Its validators (ETag, Last-Modified) stay the same
                      while the size does.
  --fault PATH=FAULTS make PATH misbehave; PATH is matched without the query
                      unless it contains "?". FAULTS is a comma list of:
                        NNN              answer with HTTP status NNN
                        redirect:TARGET  answer 302 to TARGET (must be last)
                        empty            answer 200 with an empty body
                        captive          answer 200 with a login page, as a
                                         captive portal (a hotel's, a
                                         station's) answers every address
                        random           answer 200 with 4096 random bytes
                        slow:BPS         send the body at BPS bytes per second
                        stall:N          send N bytes of the body, then hang
                                         (at most two minutes, then hang up)
                        chunked          send without Content-Length
                        cut:N            send N bytes of the answer's body
                                         (of a range too), then hang up
                        norange          answer range requests with the
                                         whole file (200)
                      --fault may be given many times.
  --link RATE,DELAY   play a home line: every answer starts DELAY ms late
                      (a round trip) and its body goes at RATE bytes per
                      second (each connection on its own), e.g.
                      --link 2500000,40 for 20 Mbit/s
  --no-cors           send no Access-Control-Allow-Origin (a game host of the
                      Flash era, which never sent cross-origin headers)
  --report-sent       on stopping, print "sent N": the body bytes of all
                      streamed answers (files, big files, faults, the link)
  -h, --help          show this text

Addresses served: / (portal page with the frame "tuzomain"), home.html,
yy, dan, flash.htm?ADDRESS (a player page written for the browser's Flash
plug-in: <object> and <embed>), app/app.asp?id=N (a player page that loads
its own copy of the Flash runtime), app/flash_info.asp?id=N,
lib/wenc.txt, tj/tj.asp?id=X, js/ads/topad.html, js/ads/fudong.html,
js/ads/tui.html, update/setup.exe, games/N.swf, ruffle/*, fonts/* (game fonts
a player page may give its runtime),
login?name=X (sets the persistent login cookie), user.asp (greets the
logged-in user, as the portal page does in #user), save/report?n=N (the
saving game 108 reports its count; see the access log), guestbook/ready and
guestbook/report?t=TEXT (the guestbook game 109 reports what was typed).
Files and big files answer "Range: bytes=N-" with 206 unless an If-Range
names another version (then the whole file, 200).
In .htm/.html pages "{{BASE}}" stands for "http://" + the request's Host + "/".
SIGTERM or SIGINT stops the server cleanly.
)";
}

} // namespace portal
