#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace portal {

// How one path misbehaves when the server plays the test portal. Several
// switches for the same path combine (slow and chunked, for example).
struct Fault
{
    int status = 0;            // answer with this HTTP status instead of the content
    std::string redirectTo;    // answer 302 with this Location
    bool empty = false;        // 200 with an empty body
    bool captive = false;      // 200 with a login page, as a captive portal answers
    bool random = false;       // 200 with 4096 random bytes
    uint64_t bytesPerSecond = 0; // 0: full speed
    int64_t stallAfter = -1;   // send this many bytes, then hang
    bool chunked = false;      // no Content-Length
    int64_t cutAfter = -1;     // send this many bytes of the answer's body, then hang up
    bool noRanges = false;     // answer a range request with the whole file
};

struct Options
{
    std::string host = "127.0.0.1";
    int port = 8740;
    std::string root;       // the site
    std::string ruffle;     // the Flash runtime files, served under /ruffle/
    std::string pages;      // extra pages (tests' own), served under /pages/
    std::string statsLog;   // tj/tj.asp appends each id here
    std::string accessLog;  // one line per request, empty: none
    std::string notice = "0====0====1.0";
    std::map<std::string, Fault> faults;        // by path ("/x") or path and query ("/x?a=1")
    std::map<std::string, uint64_t> bigFiles;   // path -> size in bytes
    // A home line in front of every answer: each waits linkDelayMs before it
    // starts and its body goes at linkBytesPerSecond (0: loopback speed).
    uint64_t linkBytesPerSecond = 0;
    int linkDelayMs = 0;
    bool cors = true;       // Access-Control-Allow-Origin: * on every answer
    bool reportSent = false; // print "sent N" (body bytes of all answers) when stopping
    bool help = false;
};

// Parses the command line; on a bad switch returns false and sets error.
// Defaults that depend on the program's folder are filled by the caller.
bool parseOptions(const std::vector<std::string> &args, Options &out, std::string &error);

// Parses "PATH=FAULTS" of --fault into the map (merging with earlier ones).
bool parseFault(const std::string &arg, std::map<std::string, Fault> &faults, std::string &error);

std::string helpText();

} // namespace portal
