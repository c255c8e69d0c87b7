#include "player/gamesaves.h"

#include <QtTest>

using GameSaves::SolProblem;

namespace
{
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// The runtime's own save of the demo portal's counting game: {n: 1}.
const QByteArray COUNTER = hex("00bf000000245443534f0004000000000007636f756e7465720000000000016e003ff000000000000000");

// A save with one entry `key` holding `value` (AMF0 or AMF3 bytes).
QByteArray save(const QByteArray &value, quint32 encoding = 0, const QByteArray &key = QByteArray("\x00\x01k", 3))
{
    GameSaves::Sol sol;
    sol.name = QStringLiteral("s");
    sol.encoding = encoding;
    sol.entries.append({key, value});
    return GameSaves::encodeSol(sol);
}
}

class TestGameSaves : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void solFiles_data();
    void solFiles();
    void keysAndFiles();
};

void TestGameSaves::solFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("problem");
    const int none = int(SolProblem::None), damaged = int(SolProblem::Damaged),
              notSave = int(SolProblem::NotASave);

    QTest::newRow("the runtime's save") << COUNTER << none;
    QTest::newRow("every AMF0 kind") << save(hex("03" "00016102000178" "0001620101" "00016305" "00016406"
                                                 "0001650a00000002" "00400000000000000007" "0001"
                                                 "00016608000000010001300c00000001" "7a" "000009"
                                                 "0001670b0000000000000000" "0000"
                                                 "000009"))
                                      << none;
    QTest::newRow("AMF3 object and array") << save(hex("0a0b01" "036e" "0401" "0361" "0905" "01" "0401" "06056869" "01"),
                                                   3, hex("0378"))
                                           << none;
    QTest::newRow("AMF3 references") << save(hex("0903" "01" "0a0b01" "036b" "0600" "01"), 3, hex("0378")) << none;
    QTest::newRow("empty") << QByteArray() << notSave;
    QTest::newRow("a picture") << hex("89504e470d0a1a0a0000000d49484452") << notSave;
    QTest::newRow("cut short") << COUNTER.left(COUNTER.size() - 3) << damaged;
    QTest::newRow("length says more") << QByteArray(COUNTER).replace(5, 1, "\x30") << damaged;
    QTest::newRow("other header") << QByteArray(COUNTER).replace(10, 2, "\x00\x05") << damaged;
    QTest::newRow("unknown encoding") << QByteArray(COUNTER).replace(28, 1, "\x02") << damaged;
    QTest::newRow("name with a colon") << QByteArray(COUNTER).replace(20, 1, ":") << damaged;
    QTest::newRow("bad marker") << save(hex("21")) << damaged;
    QTest::newRow("string past the end") << save(hex("0200ff41")) << damaged;
    QTest::newRow("no end of object") << save(hex("030001610500")) << damaged;
    QTest::newRow("reference to nothing") << save(hex("070003")) << damaged;
    QTest::newRow("AMF3 string reference to nothing") << save(hex("0604"), 3, hex("0378")) << damaged;
    QTest::newRow("AMF3 traits reference to nothing") << save(hex("0a05"), 3, hex("0378")) << damaged;
    QTest::newRow("AMF3 own external form") << save(hex("0a070178"), 3, hex("0378")) << int(SolProblem::Unsupported);
    QTest::newRow("nested too deep") << save(hex("0a00000001").repeated(400) + hex("05")) << damaged;
    QTest::newRow("too large") << QByteArray(GameSaves::MAX_SAVE_BYTES + 1, '\0') << int(SolProblem::TooLarge);
}

void TestGameSaves::solFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, problem);
    SolProblem why = SolProblem::Damaged;
    const auto sol = GameSaves::decodeSol(bytes, &why);
    QCOMPARE(int(why), problem);
    QCOMPARE(sol.has_value(), problem == int(SolProblem::None));
    if (sol)
        QCOMPARE(GameSaves::encodeSol(*sol), bytes);
    // Every shorter piece of a good save is refused, never read past.
    if (sol) {
        for (qsizetype n = 0; n < bytes.size(); ++n)
            QVERIFY2(!GameSaves::decodeSol(bytes.left(n)), qPrintable(QString::number(n)));
    }
}

void TestGameSaves::keysAndFiles()
{
    const auto counter = GameSaves::decodeSol(COUNTER);
    QVERIFY(counter);
    QCOMPARE(counter->name, QStringLiteral("counter"));
    QCOMPARE(counter->entries.size(), 1);

    // The keys the runtime uses, online and for the downloaded copy.
    QCOMPARE(GameSaves::keyPrefix(QUrl("http://127.0.0.1:8740/games/108.swf?v=2#x")),
             QStringLiteral("127.0.0.1/games/108.swf/"));
    QCOMPARE(GameSaves::keyPrefix(GameSaves::localMovieUrl(QUrl("kavo://app/app/flash.htm"), "108")),
             QStringLiteral("app/app/108.swf/"));
    QCOMPARE(GameSaves::onlineMovieUrl("http://127.0.0.1:8740/", "108", "108"),
             QUrl("http://127.0.0.1:8740/games/108.swf"));
    QCOMPARE(GameSaves::onlineMovieUrl("http://p/", "http://cdn.example/x/7.swf", "7"),
             QUrl("http://cdn.example/x/7.swf"));

    QVERIFY(GameSaves::isValidSaveName("counter"));
    QVERIFY(GameSaves::isValidSaveName("level/1"));
    for (const char *bad : {"", "a b", "a:b", "../x", "a/.b", "x#", "a\x01"})
        QVERIFY2(!GameSaves::isValidSaveName(QString::fromLatin1(bad)), bad);

    // Which files name another game.
    QCOMPARE(GameSaves::exportFileName("108", "level/1"), QStringLiteral("108-level#1.sol"));
    QVERIFY(!GameSaves::namesOtherGame("/home/u/108-counter.sol", "108"));
    QVERIFY(GameSaves::namesOtherGame("/home/u/109-counter.sol", "108"));
    QVERIFY(!GameSaves::namesOtherGame("/home/u/counter.sol", "108"));
    QVERIFY(GameSaves::namesOtherGame("/sol/127.0.0.1/games/109.swf/counter.sol", "108"));
    QVERIFY(!GameSaves::namesOtherGame("/sol/127.0.0.1/games/108.swf/counter.sol", "108"));
    QVERIFY(!GameSaves::problemText(SolProblem::Damaged).isEmpty());
}

QTEST_APPLESS_MAIN(TestGameSaves)
#include "tst_gamesaves.moc"
