#include "common/textcodec.h"

#include <QList>

#include <iconv.h>

#include <cerrno>

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
}

namespace TextCodec
{
QByteArray toAnsi(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    Iconv cd(CODEPAGE, "UTF-32LE");
    if (!cd.valid())
        return text.toLatin1();
    // One code point at a time, so that an unmappable character becomes "?"
    // without disturbing its neighbours.
    for (const uint cp : text.toUcs4()) {
        if (cp < 0x80) {
            out.append(static_cast<char>(cp));
            continue;
        }
        char32_t in = static_cast<char32_t>(cp);
        char buf[8];
        char *inp = reinterpret_cast<char *>(&in);
        size_t inLeft = sizeof(in);
        char *outp = buf;
        size_t outLeft = sizeof(buf);
        iconv(cd.handle(), nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd.handle(), &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
            out.append('?');
        else
            out.append(buf, static_cast<int>(outp - buf));
    }
    return out;
}

QString fromAnsi(const QByteArray &bytes)
{
    Iconv cd("UTF-16LE", CODEPAGE);
    if (!cd.valid())
        return QString::fromLatin1(bytes);
    QString out;
    out.reserve(bytes.size());
    int pos = 0;
    while (pos < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes.at(pos));
        if (c < 0x80) {
            out.append(QChar(c));
            ++pos;
            continue;
        }
        const int len = qMin(ansiCharLength(bytes, pos), int(bytes.size()) - pos);
        char in[2] = {bytes.at(pos), len > 1 ? bytes.at(pos + 1) : '\0'};
        char16_t res[4];
        char *inp = in;
        size_t inLeft = static_cast<size_t>(len);
        char *outp = reinterpret_cast<char *>(res);
        size_t outLeft = sizeof(res);
        iconv(cd.handle(), nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd.handle(), &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) {
            out.append(QChar(0xFFFD));
            ++pos;
            continue;
        }
        out.append(QStringView(res, (outp - reinterpret_cast<char *>(res)) / 2));
        pos += len;
    }
    return out;
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
