#include "common/textcodec.h"


#include <iconv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>

// The conversions go one character at a time, each on its own, so that a
// character that cannot be converted becomes one "?" or U+FFFD and leaves its
// neighbours alone. Asking iconv for every character made writing a full list
// and its page cost several times the disk's own time, so the answers are
// kept in tables: a block of 256 code points, or all pairs with one lead byte,
// is asked on first use. The tables hold exactly what iconv answered for the
// single character, so the result is the same as asking every time.
namespace
{
const char CODEPAGE[] = "GBK";

class Iconv
{
public:
    Iconv(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Encodes one code point; false when GBK has no such character.
bool encodeOne(const Iconv &cd, char32_t cp, QByteArray *out)
{
    char buf[8];
    char *inp = reinterpret_cast<char *>(&cp);
    size_t inLeft = sizeof(cp);
    char *outp = buf;
    size_t outLeft = sizeof(buf);
    iconv(cd.handle(), nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd.handle(), &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
        return false;
    out->append(buf, static_cast<int>(outp - buf));
    return true;
}

// Decodes one character of `len` bytes; false when the bytes are no GBK
// character.
bool decodeOne(const Iconv &cd, const char *bytes, int len, QString *out)
{
    char in[2] = {bytes[0], len > 1 ? bytes[1] : '\0'};
    char16_t res[4];
    char *inp = in;
    size_t inLeft = static_cast<size_t>(len);
    char *outp = reinterpret_cast<char *>(res);
    size_t outLeft = sizeof(res);
    iconv(cd.handle(), nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd.handle(), &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
        return false;
    out->append(QStringView(res, (outp - reinterpret_cast<char *>(res)) / 2));
    return true;
}

// Table entries. Encoding: 0 has no GBK character, 1..0xFF is one byte, more
// is a lead and a trail byte. Decoding: 0 is no character, otherwise the
// UTF-16 unit. OTHER marks an answer of another shape, which is asked again
// when met (GBK gives none, but nothing here depends on that).
constexpr char16_t NONE = 0;
constexpr char16_t OTHER = 0xFFFF;

constexpr int FIRST_LEAD = 0x81;
constexpr int LEADS = 0xFE - FIRST_LEAD + 1;
constexpr int FIRST_TRAIL = 0x40;
constexpr int TRAILS = 0xFE - FIRST_TRAIL + 1;

using Block = std::array<char16_t, 256>;
using Trails = std::array<char16_t, TRAILS>;

char16_t encodedEntry(const QByteArray &bytes)
{
    if (bytes.size() == 1 && bytes.at(0) != '\0')
        return static_cast<unsigned char>(bytes.at(0));
    if (bytes.size() == 2 && static_cast<unsigned char>(bytes.at(0)) != 0
        && (static_cast<unsigned char>(bytes.at(0)) << 8 | static_cast<unsigned char>(bytes.at(1))) != OTHER)
        return char16_t(static_cast<unsigned char>(bytes.at(0)) << 8 | static_cast<unsigned char>(bytes.at(1)));
    return OTHER;
}

char16_t decodedEntry(bool ok, const QString &text)
{
    if (!ok)
        return NONE;
    if (text.size() == 1 && text.at(0).unicode() != NONE && text.at(0).unicode() != OTHER)
        return text.at(0).unicode();
    return OTHER;
}

// Filled a part at a time on first use, from any thread; a filled part never
// changes again, so looking up is one atomic load.
class Tables
{
public:
    // Entry for one BMP code point.
    char16_t encoded(char16_t u)
    {
        const int b = u >> 8;
        const Block *block = m_encode[b].load(std::memory_order_acquire);
        if (Q_UNLIKELY(!block))
            block = fill(m_encode[b], m_encodeOwned[b], [b] { return encodeBlock(b); });
        return (*block)[u & 0xFF];
    }

    // Entry for a lead and a trail byte that make a two-byte character.
    char16_t decodedPair(unsigned char lead, unsigned char trail)
    {
        const int l = lead - FIRST_LEAD;
        const Trails *trails = m_decode[l].load(std::memory_order_acquire);
        if (Q_UNLIKELY(!trails))
            trails = fill(m_decode[l], m_decodeOwned[l], [l] { return leadTrails(l); });
        return (*trails)[trail - FIRST_TRAIL];
    }

    // Entry for a byte of 0x80 or more that stands alone.
    char16_t decodedSingle(unsigned char byte)
    {
        const Singles *singles = m_single.load(std::memory_order_acquire);
        if (Q_UNLIKELY(!singles))
            singles = fill(m_single, m_singleOwned, [] { return singleBytes(); });
        return (*singles)[byte - 0x80];
    }

private:
    using Singles = std::array<char16_t, 128>;

    template<typename Part, typename Make>
    Q_DECL_COLD_FUNCTION Q_NEVER_INLINE const Part *fill(std::atomic<const Part *> &slot, std::unique_ptr<Part> &owned, Make make)
    {
        const std::lock_guard<std::mutex> lock(m_filling);
        if (const Part *part = slot.load(std::memory_order_acquire))
            return part;
        owned = make();
        slot.store(owned.get(), std::memory_order_release);
        return owned.get();
    }

    static std::unique_ptr<Block> encodeBlock(int b)
    {
        auto block = std::make_unique<Block>();
        Iconv cd(CODEPAGE, "UTF-32LE");
        for (int i = 0; i < 256; ++i) {
            QByteArray bytes;
            (*block)[i] = cd.valid() && encodeOne(cd, char32_t(b << 8 | i), &bytes) ? encodedEntry(bytes) : NONE;
        }
        return block;
    }

    static std::unique_ptr<Trails> leadTrails(int l)
    {
        auto trails = std::make_unique<Trails>();
        Iconv cd("UTF-16LE", CODEPAGE);
        for (int t = 0; t < TRAILS; ++t) {
            const char pair[2] = {char(FIRST_LEAD + l), char(FIRST_TRAIL + t)};
            QString text;
            (*trails)[t] = decodedEntry(cd.valid() && decodeOne(cd, pair, 2, &text), text);
        }
        return trails;
    }

    static std::unique_ptr<Singles> singleBytes()
    {
        auto singles = std::make_unique<Singles>();
        Iconv cd("UTF-16LE", CODEPAGE);
        for (int c = 0x80; c <= 0xFF; ++c) {
            const char byte = char(c);
            QString text;
            (*singles)[c - 0x80] = decodedEntry(cd.valid() && decodeOne(cd, &byte, 1, &text), text);
        }
        return singles;
    }

    std::mutex m_filling;
    std::atomic<const Block *> m_encode[256] = {};
    std::unique_ptr<Block> m_encodeOwned[256];
    std::atomic<const Trails *> m_decode[LEADS] = {};
    std::unique_ptr<Trails> m_decodeOwned[LEADS];
    std::atomic<const Singles *> m_single = nullptr;
    std::unique_ptr<Singles> m_singleOwned;
};

// The files are mostly ASCII: runs of it are copied (or passed over) eight
// or sixteen characters at a time. Each returns the length of the run.
qsizetype copyAsciiUnits(const char16_t *units, qsizetype size, char *out)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi16(short(0xFF80));
    for (; i + 8 <= size; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128())) != 0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(v, v));
    }
#endif // __SSE2__
    for (; i < size && units[i] < 0x80; ++i)
        out[i] = static_cast<char>(units[i]);
    return i;
}

qsizetype asciiRunLength(const char16_t *units, qsizetype size)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi16(short(0xFF80));
    for (; i + 8 <= size; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128())) != 0xFFFF)
            break;
    }
#endif // __SSE2__
    while (i < size && units[i] < 0x80)
        ++i;
    return i;
}

qsizetype copyAsciiBytes(const char *bytes, qsizetype size, char16_t *out)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i));
        if (_mm_movemask_epi8(v) != 0)
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i + 8), _mm_unpackhi_epi8(v, zero));
    }
#endif // __SSE2__
    for (; i < size && static_cast<unsigned char>(bytes[i]) < 0x80; ++i)
        out[i] = static_cast<unsigned char>(bytes[i]);
    return i;
}

Tables &tables()
{
    static Tables t;
    return t;
}

bool encoderAvailable()
{
    static const bool available = Iconv(CODEPAGE, "UTF-32LE").valid();
    return available;
}

bool decoderAvailable()
{
    static const bool available = Iconv("UTF-16LE", CODEPAGE).valid();
    return available;
}
}

namespace TextCodec
{
QByteArray toAnsi(const QString &text)
{
    return toAnsi(QStringView(text));
}

QByteArray toAnsi(QStringView text)
{
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    out.truncate(encodeAnsi(text, out.data()) - out.constData());
    return out;
}

char *encodeAnsi(QStringView text, char *d)
{
    if (!encoderAvailable()) {
        for (const QChar c : text)
            *d++ = c.unicode() < 0x100 ? char(c.unicode()) : '?';
        return d;
    }
    Tables &t = tables();
    const char16_t *units = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const qsizetype ascii = copyAsciiUnits(units + i, size - i, d);
        i += ascii;
        d += ascii;
        if (i == size)
            break;
        const char16_t u = units[i];
        const bool pair = QChar::isHighSurrogate(u) && i + 1 < size && QChar::isLowSurrogate(units[i + 1]);
        // A surrogate without its other half counts as U+FFFD.
        const char32_t cp = pair ? QChar::surrogateToUcs4(u, units[i + 1])
                                 : QChar::isSurrogate(u) ? char32_t(0xFFFD) : char32_t(u);
        if (pair)
            ++i;
        const char16_t entry = cp <= 0xFFFF ? t.encoded(char16_t(cp)) : OTHER;
        if (entry == NONE) {
            *d++ = '?';
        } else if (entry < 0x100) {
            *d++ = static_cast<char>(entry);
        } else if (entry != OTHER) {
            *d++ = static_cast<char>(entry >> 8);
            *d++ = static_cast<char>(entry & 0xFF);
        } else {
            // A GBK character is one or two bytes: more would not be GBK.
            QByteArray one;
            if (!encodeOne(Iconv(CODEPAGE, "UTF-32LE"), cp, &one) || one.isEmpty() || one.size() > 2)
                one = "?";
            d = std::copy(one.cbegin(), one.cend(), d);
        }
    }
    return d;
}

QString fromAnsi(const QByteArray &bytes)
{
    if (!decoderAvailable())
        return QString::fromLatin1(bytes);
    Tables &t = tables();
    const int size = int(bytes.size());
    const char *in = bytes.constData();
    // One unit at most for every byte; other answers are added at the end.
    QString out(size, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    int pos = 0;
    while (pos < size) {
        const int ascii = int(copyAsciiBytes(in + pos, size - pos, d));
        pos += ascii;
        d += ascii;
        if (pos == size)
            break;
        const unsigned char c = static_cast<unsigned char>(in[pos]);
        const int len = qMin(ansiCharLength(bytes, pos), size - pos);
        const char16_t entry = len == 2 ? t.decodedPair(c, static_cast<unsigned char>(in[pos + 1]))
                                        : t.decodedSingle(c);
        if (entry == NONE) {
            *d++ = 0xFFFD;
            ++pos;
        } else if (entry != OTHER) {
            *d++ = entry;
            pos += len;
        } else {
            QString one;
            if (decodeOne(Iconv("UTF-16LE", CODEPAGE), in + pos, len, &one)) {
                pos += len;
            } else {
                one = QChar(0xFFFD);
                ++pos;
            }
            const qsizetype done = d - reinterpret_cast<const char16_t *>(out.constData());
            if (done + one.size() > out.size())
                out.resize(done + one.size() + (size - pos));
            d = reinterpret_cast<char16_t *>(out.data()) + done;
            const char16_t *added = reinterpret_cast<const char16_t *>(one.constData());
            d = std::copy(added, added + one.size(), d);
        }
    }
    out.truncate(d - reinterpret_cast<const char16_t *>(out.constData()));
    return out;
}

bool isAnsiExact(QStringView text)
{
    if (!encoderAvailable() || !decoderAvailable())
        return false;
    Tables &t = tables();
    const char16_t *units = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        i += asciiRunLength(units + i, size - i);
        if (i == size)
            break;
        const char16_t u = units[i];
        if (QChar::isSurrogate(u))
            return false;
        const char16_t entry = t.encoded(u);
        if (entry == NONE || entry == OTHER)
            return false;
        if (entry < 0x100) {
            // An ASCII byte decodes as itself; a lone byte that could lead a
            // pair might join the next one.
            if (entry < 0x80 || entry >= FIRST_LEAD || t.decodedSingle(static_cast<unsigned char>(entry)) != u)
                return false;
            continue;
        }
        const int lead = entry >> 8;
        const int trail = entry & 0xFF;
        // Decoding takes two bytes only for these.
        if (lead < FIRST_LEAD || lead > 0xFE || trail < FIRST_TRAIL || trail > 0xFE || trail == 0x7F
            || t.decodedPair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)) != u)
            return false;
    }
    return true;
}

bool isAscii(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= size; i += 16) {
        if (_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i))) != 0)
            return false;
    }
#endif // __SSE2__
    for (; i < size; ++i) {
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    }
    return true;
}

int ansiCharLength(const QByteArray &bytes, int pos)
{
    const unsigned char c = static_cast<unsigned char>(bytes.at(pos));
    if (c >= 0x81 && c <= 0xFE && pos + 1 < bytes.size()) {
        const unsigned char t = static_cast<unsigned char>(bytes.at(pos + 1));
        if (t >= 0x40 && t <= 0xFE && t != 0x7F)
            return 2;
    }
    return 1;
}
}
