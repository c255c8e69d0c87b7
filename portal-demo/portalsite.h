#pragma once

#include "portaloptions.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace portal {

// What an address of the portal answers, before any fault is applied.
struct Content
{
    int status = 200;
    std::string mime;
    std::string data;           // the body, unless generated
    uint64_t generatedSize = 0; // a generated body of this size (big files)
    bool generated = false;
    // Extra response headers (Set-Cookie, Cache-Control).
    std::vector<std::pair<std::string, std::string>> headers;

    uint64_t size() const { return generated ? generatedSize : data.size(); }
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

private:
    Content fileContent(const std::string &file, const std::string &base, int status = 200) const;
    Content notFound(const std::string &base) const;
    void recordStat(const std::string &id);
    Content login(const Visit &visit) const;

    const Options &m_options;
    std::mutex m_statsMutex;
};

} // namespace portal
