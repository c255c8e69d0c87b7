#include "common/textcodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTextCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void unmappableBecomesQuestionMark();
    void invalidBytesDecodeWithoutLoss();
    void charLengthAtBoundaries();
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

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_textcodec.moc"
