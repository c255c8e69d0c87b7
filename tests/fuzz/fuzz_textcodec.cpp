// The GBK codec reads every file the program keeps, and UnescapeText decodes
// names that pages send.
#include "fuzzcheck.h"

#include "common/scriptunescape.h"
#include "common/textcodec.h"
#include "lists/listpage.h"

namespace
{
void checkCodec(const QByteArray &bytes)
{
    for (int pos = 0; pos < bytes.size(); ++pos) {
        const int len = TextCodec::ansiCharLength(bytes, pos);
        FUZZ_CHECK(len == 1 || len == 2);
        FUZZ_CHECK(pos + len <= bytes.size());
    }
    const QString text = TextCodec::fromAnsi(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    // Encoding is stable: what was written once reads and writes back the
    // same bytes.
    const QByteArray once = TextCodec::toAnsi(text);
    FUZZ_CHECK(TextCodec::toAnsi(TextCodec::fromAnsi(once)) == once);
    // Plain ASCII passes unchanged both ways.
    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        FUZZ_CHECK(once == bytes && text == QString::fromLatin1(bytes));
}

// Escapes every character the way the portal's scripts do for the ones they
// escape: "%XX" up to U+00FF, "%uXXXX" above.
QString escaped(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        const bool wide = c.unicode() > 0xFF;
        out += (wide ? QStringLiteral("%u") : QStringLiteral("%"))
            + QString::number(c.unicode(), 16).rightJustified(wide ? 4 : 2, QLatin1Char('0'));
    }
    return out;
}

void checkUnescape(const QString &text)
{
    const QString plain = UnescapeText(text);
    FUZZ_CHECK(plain.size() <= text.size());
    if (!text.contains(QLatin1Char('%')))
        FUZZ_CHECK(plain == text);
    // The portal's escaping of any text decodes back to it.
    FUZZ_CHECK(UnescapeText(escaped(text)) == text);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    checkCodec(bytes);
    checkUnescape(QString::fromUtf8(bytes));
    checkUnescape(QString::fromLatin1(bytes));
    if (size % 2 == 0)
        checkUnescape(QString(reinterpret_cast<const QChar *>(data), qsizetype(size / 2)));
    return 0;
}
