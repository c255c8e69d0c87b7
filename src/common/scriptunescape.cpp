#include "common/scriptunescape.h"

#include <type_traits>

namespace
{
int hexValue(char16_t u)
{
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The value of `count` hex digits at `p`, or -1.
template<typename Char>
int hexNumber(const Char *p, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = hexValue(static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(p[i])));
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// Writes the decoded units of text[0, size) from `d` on and returns where
// they end; they are never more than the units of the text. `Char` is
// char16_t, or char for ASCII text.
template<typename Char>
char16_t *unescapeTo(const Char *p, qsizetype size, char16_t *d)
{
    const Char *const end = p + size;
    while (p < end) {
        const char16_t c = static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(*p));
        if (c != u'%') {
            *d++ = c;
            ++p;
            continue;
        }
        const qsizetype following = end - p - 1;
        if (following >= 5 && p[1] == u'u') {
            const int code = hexNumber(p + 2, 4);
            if (code >= 0) {
                *d++ = char16_t(code);
                p += 6;
            } else {
                *d++ = c;
                ++p;
            }
        } else if (following >= 2) {
            const int code = hexNumber(p + 1, 2);
            if (code >= 0) {
                *d++ = char16_t(code);
                p += 3;
            } else {
                ++p;
            }
        } else {
            *d++ = c;
            ++p;
        }
    }
    return d;
}
} // namespace

QString UnescapeText(const QString &text)
{
    QString out(text.size(), Qt::Uninitialized);
    char16_t *begin = reinterpret_cast<char16_t *>(out.data());
    out.truncate(unescapeTo(text.utf16(), text.size(), begin) - begin);
    return out;
}

void AppendUnescaped(QStringView text, std::u16string &out)
{
    const size_t at = out.size();
    out.resize(at + size_t(text.size()));
    out.resize(size_t(unescapeTo(text.utf16(), text.size(), out.data() + at) - out.data()));
}

void AppendUnescaped(QByteArrayView asciiText, std::u16string &out)
{
    const size_t at = out.size();
    out.resize(at + size_t(asciiText.size()));
    out.resize(size_t(unescapeTo(asciiText.data(), asciiText.size(), out.data() + at) - out.data()));
}
