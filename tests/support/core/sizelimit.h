#pragma once

// Writes under a file size limit, which binds root too: it stands for a disk
// that fills up while the files are written. The limit and the SIGXFSZ
// handler are restored when it goes.

#include <sys/resource.h>

#include <csignal>

class SizeLimit
{
public:
    explicit SizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~SizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    SizeLimit(const SizeLimit &) = delete;
    SizeLimit &operator=(const SizeLimit &) = delete;

    bool isSet() const { return m_set; }

private:
    rlimit m_saved {};
    void (*m_handler)(int) = nullptr;
    bool m_set = false;
};
