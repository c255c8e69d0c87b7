#pragma once

// Shared by the fuzz targets: a failed property prints what was expected and
// aborts, which the fuzzer reports as a crash with the input that caused it.

#include <QByteArray>
#include <QString>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "property failed at %s:%d: %s\n", __FILE__, __LINE__, #cond);   \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

inline QString takeText(FuzzedDataProvider &in, size_t maxLength = 64)
{
    const std::string s = in.ConsumeRandomLengthString(maxLength);
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

inline QByteArray takeBytes(FuzzedDataProvider &in, size_t maxLength = 4096)
{
    const std::string s = in.ConsumeRandomLengthString(maxLength);
    return QByteArray(s.data(), qsizetype(s.size()));
}
