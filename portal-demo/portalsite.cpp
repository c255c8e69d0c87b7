#include "portalsite.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace portal {

namespace {

bool endsWith(const std::string &s, const std::string &tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool isNumber(const std::string &s)
{
    return !s.empty() && s.size() < 10 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A request path is safe when none of its segments climbs out of the folder.
bool safeRelative(const std::string &path)
{
    if (path.find('\0') != std::string::npos || path.find('\\') != std::string::npos)
        return false;
    std::stringstream ss(path);
    std::string segment;
    while (std::getline(ss, segment, '/'))
        if (segment == "..")
            return false;
    return true;
}

bool readFile(const fs::path &file, std::string &out)
{
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return false;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return true;
}

std::string httpDate(time_t t)
{
    char text[64];
    struct tm tm;
    gmtime_r(&t, &tm);
    strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &tm);
    return text;
}

// Opens a static file for sending: its body stays in the file, and its
// validators come from what identifies this version of it (inode, size,
// modification time to the nanosecond).
bool openStatic(const fs::path &file, Content &c, const char *cacheControl)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    c.file = std::make_shared<const FileBody>(fd, uint64_t(st.st_size));
    char tag[96];
    std::snprintf(tag, sizeof tag, "\"%llx-%llx-%llx.%lx\"", (unsigned long long)st.st_ino,
                  (unsigned long long)st.st_size, (unsigned long long)st.st_mtim.tv_sec,
                  (unsigned long)st.st_mtim.tv_nsec);
    c.etag = tag;
    c.headers.emplace_back("ETag", c.etag);
    c.headers.emplace_back("Last-Modified", httpDate(st.st_mtim.tv_sec));
    c.headers.emplace_back("Cache-Control", cacheControl);
    return true;
}

void replaceAll(std::string &text, const std::string &from, const std::string &to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

Content dynamicPage(const std::string &html)
{
    Content c;
    c.mime = "text/html; charset=utf-8";
    c.data = html;
    c.headers.emplace_back("Cache-Control", "no-store");
    return c;
}

std::string greeting(const std::string &user)
{
    return user.empty() ? std::string("未登录") : "欢迎你，" + user;
}

const char *const USER_PAGE = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>用户</title></head>"
                              "<body><div id=\"user\">{{USER}}</div></body></html>";

} // namespace

FileBody::~FileBody()
{
    ::close(fd);
}

void Content::read(uint64_t offset, char *out, size_t len) const
{
    if (file) {
        // A file that shrank while it was sent ends in zeros rather than in
        // a short body.
        size_t done = 0;
        while (done < len) {
            const ssize_t n = ::pread(file->fd, out + done, len - done, off_t(offset + done));
            if (n <= 0)
                break;
            done += size_t(n);
        }
        std::fill(out + done, out + len, '\0');
        return;
    }
    if (!generated) {
        std::copy_n(data.data() + offset, len, out);
        return;
    }
    // A plain Flash movie's header (signature, version 10, the length),
    // then the pattern.
    const uint64_t size = generatedSize;
    const char header[8] = {'F', 'W', 'S', 10, char(size & 0xff), char((size >> 8) & 0xff),
                            char((size >> 16) & 0xff), char((size >> 24) & 0xff)};
    for (size_t i = 0; i < len; ++i) {
        const uint64_t at = offset + i;
        out[i] = at < sizeof header ? header[at] : char(at % 251);
    }
}

Site::Site(const Options &options) : m_options(options) {}

std::string Site::mimeFor(const std::string &path)
{
    static const std::pair<const char *, const char *> types[] = {
        {".html", "text/html; charset=utf-8"}, {".htm", "text/html; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},   {".js", "application/javascript; charset=utf-8"},
        {".wasm", "application/wasm"},          {".swf", "application/x-shockwave-flash"},
        {".gif", "image/gif"},                  {".png", "image/png"},
        {".svg", "image/svg+xml"},              {".txt", "text/plain; charset=utf-8"},
        {".exe", "application/octet-stream"},   {".json", "application/json"},
        {".otf", "font/otf"},
    };
    for (const auto &[ext, mime] : types)
        if (endsWith(path, ext))
            return mime;
    return "application/octet-stream";
}

bool Site::notModified(const Content &content, const std::string &ifNoneMatch,
                       const std::string &ifModifiedSince)
{
    if (content.etag.empty() || content.status != 200)
        return false;
    if (!ifNoneMatch.empty()) {
        std::stringstream tags(ifNoneMatch);
        std::string tag;
        while (std::getline(tags, tag, ',')) {
            tag.erase(0, tag.find_first_not_of(" \t"));
            tag.erase(tag.find_last_not_of(" \t") + 1);
            if (tag.rfind("W/", 0) == 0)
                tag.erase(0, 2);
            if (tag == "*" || tag == content.etag)
                return true;
        }
        return false;
    }
    for (const auto &[name, value] : content.headers)
        if (name == "Last-Modified")
            return !ifModifiedSince.empty() && ifModifiedSince == value;
    return false;
}

bool Site::rangeAllowed(const Content &content, const std::string &ifRange)
{
    if (ifRange.empty())
        return true;
    if (!content.etag.empty() && ifRange == content.etag)
        return true;
    for (const auto &[name, value] : content.headers)
        if (name == "Last-Modified")
            return ifRange == value;
    return false;
}

Content Site::fileContent(const std::string &file, const std::string &base, int status,
                          const char *cacheControl) const
{
    Content c;
    const bool page = endsWith(file, ".html") || endsWith(file, ".htm");
    if (!page && status == 200) {
        std::error_code ec;
        if (!fs::is_regular_file(file, ec) || !openStatic(file, c, cacheControl))
            return notFound(base);
        c.mime = mimeFor(file);
        return c;
    }
    if (!readFile(file, c.data))
        return notFound(base);
    c.status = status;
    c.mime = mimeFor(file);
    if (endsWith(file, ".html") || endsWith(file, ".htm"))
        replaceAll(c.data, "{{BASE}}", base);
    return c;
}

Content Site::notFound(const std::string &base) const
{
    Content c;
    c.status = 404;
    c.mime = "text/html; charset=utf-8";
    std::string page;
    if (readFile(fs::path(m_options.root) / "404.html", page)) {
        replaceAll(page, "{{BASE}}", base);
        c.data = page;
    } else {
        c.data = "<html><body>404</body></html>";
    }
    return c;
}

void Site::recordStat(const std::string &id)
{
    // One line per request, even for an odd id: line breaks inside it would
    // split the record.
    std::string line = id;
    std::replace(line.begin(), line.end(), '\r', ' ');
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::lock_guard<std::mutex> lock(m_statsMutex);
    std::ofstream out(m_options.statsLog, std::ios::binary | std::ios::app);
    out << line << '\n';
}

bool Site::validUserName(const std::string &name)
{
    return !name.empty() && name.size() <= 32 && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    });
}

std::string Site::userFromCookies(const std::string &cookieHeader)
{
    const std::string key = std::string(LOGIN_COOKIE) + "=";
    std::stringstream ss(cookieHeader);
    std::string part;
    while (std::getline(ss, part, ';')) {
        part.erase(0, part.find_first_not_of(' '));
        if (part.rfind(key, 0) == 0) {
            const std::string user = part.substr(key.size());
            return validUserName(user) ? user : std::string();
        }
    }
    return {};
}

Content Site::login(const Visit &visit) const
{
    if (!validUserName(visit.name)) {
        Content c = dynamicPage("<!DOCTYPE html><html><body>bad name</body></html>");
        c.status = 400;
        return c;
    }
    Content c = dynamicPage(USER_PAGE);
    replaceAll(c.data, "{{USER}}", greeting(visit.name));
    // A year, so that the browser keeps it on disk.
    c.headers.emplace_back("Set-Cookie", std::string(LOGIN_COOKIE) + "=" + visit.name + "; Max-Age=31536000; Path=/");
    return c;
}

Content Site::resolve(const std::string &path, const Visit &visit)
{
    const std::string &id = visit.id;
    const std::string &base = visit.base;
    if (!safeRelative(path))
        return notFound(base);

    if (auto big = m_options.bigFiles.find(path); big != m_options.bigFiles.end()) {
        Content c;
        c.mime = mimeFor(path);
        c.generated = true;
        c.generatedSize = big->second;
        c.etag = "\"big-" + std::to_string(big->second) + "\"";
        c.headers.emplace_back("ETag", c.etag);
        c.headers.emplace_back("Last-Modified", httpDate(time_t(big->second % 1000000000)));
        return c;
    }

    const fs::path root = m_options.root;
    if (path == "/lib/wenc.txt") {
        Content c;
        c.mime = "text/plain; charset=utf-8";
        c.data = m_options.notice;
        return c;
    }
    if (path == "/tj/tj.asp") {
        recordStat(id);
        return dynamicPage("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>tj</title></head><body></body></html>");
    }
    if (path == "/login")
        return login(visit);
    if (path == "/user.asp") {
        Content c = dynamicPage(USER_PAGE);
        replaceAll(c.data, "{{USER}}", greeting(visit.user));
        return c;
    }
    // The saving game reports its count here, the guestbook what was typed;
    // the access log keeps it.
    if (path == "/save/report" || path == "/guestbook/ready" || path == "/guestbook/report") {
        Content c = dynamicPage(std::string());
        c.mime = "text/plain; charset=utf-8";
        return c;
    }
    if (path == "/" || path == "/index.html") {
        Content c = fileContent((root / "index.html").string(), base);
        replaceAll(c.data, "{{USER}}", greeting(visit.user));
        c.headers.emplace_back("Cache-Control", "no-store");
        return c;
    }
    if (path == "/app/app.asp") {
        Content c = fileContent((root / "app/app.htm").string(), base);
        c.headers.emplace_back("Cache-Control", "no-store");
        return c;
    }
    if (path == "/app/flash_info.asp") {
        const fs::path page = root / "app/info" / (id + ".htm");
        std::error_code ec;
        if (isNumber(id) && fs::is_regular_file(page, ec))
            return fileContent(page.string(), base);
        return fileContent((root / "app/info/none.htm").string(), base);
    }
    if (path.rfind("/pages/", 0) == 0 && !m_options.pages.empty())
        return fileContent((fs::path(m_options.pages) / path.substr(7)).string(), base);
    // The game fonts and the player's scripts change only with the portal's
    // software, as the runtime does.
    if (path.rfind("/fonts/", 0) == 0 || path.rfind("/js/", 0) == 0)
        return fileContent((root / path.substr(1)).string(), base, 200, "public, max-age=3600");
    if (path.rfind("/ruffle/", 0) == 0)
        return fileContent((fs::path(m_options.ruffle) / path.substr(8)).string(), base, 200,
                           "public, max-age=3600");

    fs::path file = root / path.substr(1);
    std::error_code ec;
    if (path.back() == '/' || fs::is_directory(file, ec))
        file /= "index.html";
    else if (!fs::exists(file, ec) && fs::path(path).extension().empty())
        file += ".html"; // "yy" and "dan" are pages without an extension
    return fileContent(file.string(), base);
}

} // namespace portal
