#include "common/textcodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <iconv.h>

namespace
{
// The conversions as iconv gives them, one character at a time, with a fresh
// state for each: what the codec's tables must agree with.
QByteArray referenceEncode(char32_t cp)
{
    iconv_t cd = iconv_open("GBK", "UTF-32LE");
    char buf[8];
    char *inp = reinterpret_cast<char *>(&cp);
    size_t inLeft = sizeof(cp);
    char *outp = buf;
    size_t outLeft = sizeof(buf);
    const bool ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != size_t(-1);
    iconv_close(cd);
    return ok ? QByteArray(buf, int(outp - buf)) : QByteArray("?");
}

// The characters of `len` bytes, or nothing when they are no character.
std::optional<QString> referenceDecode(const char *bytes, int len)
{
    iconv_t cd = iconv_open("UTF-16LE", "GBK");
    char in[2] = {bytes[0], len > 1 ? bytes[1] : '\0'};
    char16_t res[4];
    char *inp = in;
    size_t inLeft = size_t(len);
    char *outp = reinterpret_cast<char *>(res);
    size_t outLeft = sizeof(res);
    const bool ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != size_t(-1);
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    return QStringView(res, (outp - reinterpret_cast<char *>(res)) / 2).toString();
}
}

class TestTextCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void unmappableBecomesQuestionMark();
    void invalidBytesDecodeWithoutLoss();
    void charLengthAtBoundaries();
    void everyCharacterAsIconvGivesIt();
    void everyByteSequenceAsIconvGivesIt();
    void exactWhereTheRoundTripGivesTheTextBack();
    void asciiUnlessAByteIsHigh();
};

void TestTextCodec::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("gbk");
    QTest::newRow("ascii") << QStringLiteral("abc|12\r\n") << QByteArray("abc|12\r\n");
    QTest::newRow("chinese") << QStringLiteral("Kavo游戏盒") << QByteArray("Kavo\xd3\xce\xcf\xb7\xba\xd0");
    QTest::newRow("middle dot") << QStringLiteral("·") << QByteArray("\xa1\xa4");
    QTest::newRow("points") << QStringLiteral("[积分]") << QByteArray("[\xbb\xfd\xb7\xd6]");
    // Second byte 0x7C is "|" in ASCII: decoding must not split it off.
    QTest::newRow("trail byte is a bar") << QString(QChar(0x4E85)) << QByteArray("\x81\x7c");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestTextCodec::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, gbk);
    QCOMPARE(TextCodec::toAnsi(text), gbk);
    QCOMPARE(TextCodec::fromAnsi(gbk), text);
}

void TestTextCodec::unmappableBecomesQuestionMark()
{
    // An emoji (surrogate pair) and a Hangul syllable are not in GBK; each is
    // one "?" and leaves its neighbours intact.
    const QString text = QStringLiteral("a") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("中")
        + QChar(0xD55C) + QStringLiteral("b");
    QCOMPARE(TextCodec::toAnsi(text), QByteArray("a?\xd6\xd0?b"));
}

void TestTextCodec::invalidBytesDecodeWithoutLoss()
{
    // A lead byte before CR LF and a lone lead byte at the end.
    const QString text = TextCodec::fromAnsi(QByteArray("x\x81\r\ny\xfe"));
    QCOMPARE(text.size(), 6);
    QCOMPARE(text.mid(2, 3), QStringLiteral("\r\ny"));
    QCOMPARE(text.at(1), QChar(0xFFFD));
    QCOMPARE(text.at(5), QChar(0xFFFD));
    QCOMPARE(TextCodec::fromAnsi(QByteArray("a\0b", 3)), QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b")));
}

void TestTextCodec::charLengthAtBoundaries()
{
    const QByteArray bytes("\xd6\xd0" "a\x81");
    QCOMPARE(TextCodec::ansiCharLength(bytes, 0), 2);
    QCOMPARE(TextCodec::ansiCharLength(bytes, 2), 1);
    QCOMPARE(TextCodec::ansiCharLength(bytes, 3), 1); // lead byte with nothing after it
    QCOMPARE(TextCodec::ansiCharLength(QByteArray("\x81\x7f"), 0), 1);
}

// Every BMP character, lone surrogates as U+FFFD, encodes as iconv encodes it
// alone, also in the middle of a long text.
void TestTextCodec::everyCharacterAsIconvGivesIt()
{
    QString text;
    QByteArray expected;
    for (char32_t cp = 1; cp <= 0xFFFF; ++cp) {
        text += QChar(char16_t(cp));
        expected += cp < 0x80 ? QByteArray(1, char(cp))
                              : referenceEncode(QChar::isSurrogate(cp) ? char32_t(0xFFFD) : cp);
        text += QLatin1Char('.');
        expected += '.';
    }
    const QByteArray encoded = TextCodec::toAnsi(text);
    QCOMPARE(encoded.size(), expected.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded.at(i) != expected.at(i))
            QFAIL(qPrintable(QStringLiteral("first difference at byte %1").arg(i)));
    }
}

// Every lead byte with every following byte, and every high byte alone,
// decodes as iconv decodes the character ansiCharLength() delimits.
void TestTextCodec::everyByteSequenceAsIconvGivesIt()
{
    QByteArray bytes;
    QString expected;
    const auto add = [&](const QByteArray &seq) {
        bytes += seq;
        int pos = 0;
        while (pos < seq.size()) {
            const unsigned char c = static_cast<unsigned char>(seq.at(pos));
            if (c < 0x80) {
                expected += QChar(c);
                ++pos;
                continue;
            }
            const int len = qMin(TextCodec::ansiCharLength(seq, pos), int(seq.size()) - pos);
            if (const auto text = referenceDecode(seq.constData() + pos, len)) {
                expected += *text;
                pos += len;
            } else {
                expected += QChar(0xFFFD);
                ++pos;
            }
        }
    };
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0; trail <= 0xFF; ++trail)
            add(QByteArray(1, char(lead)) + char(trail) + "|");
    }
    add(QByteArray("\xd6"));
    const QString decoded = TextCodec::fromAnsi(bytes);
    QCOMPARE(decoded.size(), expected.size());
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        if (decoded.at(i) != expected.at(i))
            QFAIL(qPrintable(QStringLiteral("first difference at unit %1").arg(i)));
    }
}

// isAnsiExact() may only say yes where the round trip gives the text back,
// and says yes for what the lists hold.
void TestTextCodec::exactWhereTheRoundTripGivesTheTextBack()
{
    int exact = 0;
    for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
        const QString text = QStringLiteral("a") + QChar(char16_t(cp)) + QStringLiteral("|");
        if (TextCodec::isAnsiExact(text)) {
            ++exact;
            if (TextCodec::fromAnsi(TextCodec::toAnsi(text)) != text)
                QFAIL(qPrintable(QStringLiteral("U+%1 is not exact").arg(uint(cp), 4, 16)));
        }
    }
    QVERIFY(exact > 20000);
    QVERIFY(TextCodec::isAnsiExact(QStringLiteral("%u5766|1|g/1.swf|1\r\n坦克大战|2|2|0\r\n")));
    QVERIFY(TextCodec::isAnsiExact(QString()));
    // Unmappable, a lone surrogate, beyond the BMP.
    QVERIFY(!TextCodec::isAnsiExact(QStringLiteral("abc") + QChar(0xD55C)));
    QVERIFY(!TextCodec::isAnsiExact(QStringLiteral("abcdefghijklmnopq") + QChar(0xD800)));
    QVERIFY(!TextCodec::isAnsiExact(QString::fromUcs4(U"\U0001F600")));
}

// isAscii() reads sixteen bytes at a time, then the rest one by one: a high
// byte is found wherever it stands, and a view is read from its own start.
void TestTextCodec::asciiUnlessAByteIsHigh()
{
    for (int size = 0; size <= 40; ++size) {
        const QByteArray ascii(size, '\x7f');
        QVERIFY(TextCodec::isAscii(ascii));
        for (int at = 0; at < size; ++at) {
            for (const char high : {'\x80', '\xff'}) {
                QByteArray bytes = ascii;
                bytes[at] = high;
                QVERIFY2(!TextCodec::isAscii(bytes), qPrintable(QStringLiteral("%1 of %2").arg(at).arg(size)));
            }
        }
    }
    const QByteArray text("\xff" "abcdefghijklmnopqrstuvwxyz" "\xff");
    QVERIFY(TextCodec::isAscii(QByteArrayView(text).sliced(1, 26)));
    QVERIFY(!TextCodec::isAscii(QByteArrayView(text).sliced(1)));
}

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
