#pragma once

#include "portaloptions.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace portal {

// An open file a body is read from as it is sent.
struct FileBody
{
    explicit FileBody(int fd, uint64_t size) : fd(fd), size(size) {}
    ~FileBody();
    FileBody(const FileBody &) = delete;
    FileBody &operator=(const FileBody &) = delete;
    int fd;
    uint64_t size;
};

// What an address of the portal answers, before any fault is applied.
struct Content
{
    int status = 200;
    std::string mime;
    std::string data;           // the body, unless generated or read from a file
    uint64_t generatedSize = 0; // a generated body of this size (big files)
    bool generated = false;
    std::shared_ptr<const FileBody> file; // a static file, sent as it is read
    // The static file's validator; empty for other answers.
    std::string etag;
    // Extra response headers (Set-Cookie, Cache-Control, ETag, Last-Modified).
    std::vector<std::pair<std::string, std::string>> headers;

    uint64_t size() const { return generated ? generatedSize : file ? file->size : data.size(); }
    // Copies len bytes from offset into out (offset + len <= size()).
    void read(uint64_t offset, char *out, size_t len) const;
};

// What the server knows of a request besides its path.
struct Visit
{
    std::string id;   // the id parameter, if any
    std::string name; // the name parameter of /login
    std::string user; // the login cookie's user, empty when there is none
    std::string base; // "http://host:port/" as the client addressed the server
};

// The portal's addresses: static files of the site folder, the runtime
// folder, and the few dynamic ones (.asp pages, the notice, big files, the
// login and the saving game's reports).
//
// The login: /login?name=X (X of letters, digits, '_' and '-', at most 32)
// sets the persistent cookie kavo_user=X and greets X; a bad name gets 400.
// /user.asp and the portal page greet the user of the cookie in the element
// #user. Dynamic answers carry Cache-Control: no-store.
//
// Static files other than pages are not read into memory: they are sent from
// the open file, with validators (ETag, Last-Modified) so that a client's
// cache can ask whether its copy is current (Site::notModified). The runtime
// folder's files may be used for an hour without asking; the site's own
// files are asked about every time (no-cache), as tests change them.
class Site
{
public:
    explicit Site(const Options &options);

    // path: decoded path of the request.
    Content resolve(const std::string &path, const Visit &visit);

    static constexpr const char *LOGIN_COOKIE = "kavo_user";
    // The user named by a Cookie header, empty unless it is a valid name.
    static std::string userFromCookies(const std::string &cookieHeader);
    static bool validUserName(const std::string &name);

    static std::string mimeFor(const std::string &path);

    // Whether a request with these If-None-Match / If-Modified-Since headers
    // already holds the current content (answered with 304).
    static bool notModified(const Content &content, const std::string &ifNoneMatch,
                            const std::string &ifModifiedSince);

    // Whether a range of the content may be sent to a request with this
    // If-Range header (empty: none): it names the content's ETag or its
    // Last-Modified date exactly.
    static bool rangeAllowed(const Content &content, const std::string &ifRange);

private:
    Content fileContent(const std::string &file, const std::string &base, int status = 200,
                        const char *cacheControl = "no-cache") const;
    Content notFound(const std::string &base) const;
    void recordStat(const std::string &id);
    Content login(const Visit &visit) const;

    const Options &m_options;
    std::mutex m_statsMutex;
};

} // namespace portal
