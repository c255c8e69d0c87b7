#pragma once

#include "portaloptions.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace portal {

// What an address of the portal answers, before any fault is applied.
struct Content
{
    int status = 200;
    std::string mime;
    std::string data;           // the body, unless generated
    uint64_t generatedSize = 0; // a generated body of this size (big files)
    bool generated = false;

    uint64_t size() const { return generated ? generatedSize : data.size(); }
    // Copies len bytes from offset into out (offset + len <= size()).
    void read(uint64_t offset, char *out, size_t len) const;
};

// The portal's addresses: static files of the site folder, the runtime
// folder, and the few dynamic ones (.asp pages, the notice, big files).
class Site
{
public:
    explicit Site(const Options &options);

    // path: decoded path of the request; query: the id parameter if any;
    // base: "http://host:port/" as the client addressed the server.
    Content resolve(const std::string &path, const std::string &id, const std::string &base);

    static std::string mimeFor(const std::string &path);

private:
    Content fileContent(const std::string &file, const std::string &base, int status = 200) const;
    Content notFound(const std::string &base) const;
    void recordStat(const std::string &id);

    const Options &m_options;
    std::mutex m_statsMutex;
};

} // namespace portal
