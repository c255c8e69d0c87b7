// The hand-off of a second start: the meeting name, the message and the
// single-instance service between two claimants (one of them on a thread of
// its own, as a second process would be).
#include "common/apppaths.h"
#include "startup/handoff.h"
#include "startup/singleinstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUuid>

#include <atomic>
#include <thread>

namespace
{
QString freshName()
{
    return QStringLiteral("kavo-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

// Hands `text` over to `name` from another thread; the result arrives later.
struct SecondStart
{
    std::atomic<int> result{-1}; // -1 running, 0 no answer, 1 answered
    std::atomic<bool> wasRunningInstance{false};
    std::thread thread;

    SecondStart(const QString &name, const QString &text, int timeoutMs)
    {
        thread = std::thread([this, name, text, timeoutMs] {
            SingleInstance second(name);
            wasRunningInstance = second.isRunningInstance();
            result = second.handOff(text, timeoutMs) ? 1 : 0;
        });
    }
    ~SecondStart() { wait(); }
    void wait()
    {
        if (thread.joinable())
            thread.join();
    }
};
} // namespace

class TestHandOff : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void names()
    {
        const QString a = SingleInstanceName(QStringLiteral("/opt/游戏盒"), QStringLiteral("1000"));
        QCOMPARE(a, SingleInstanceName(QStringLiteral("/opt/游戏盒"), QStringLiteral("1000")));
        QVERIFY(a != SingleInstanceName(QStringLiteral("/opt/游戏盒"), QStringLiteral("1001")));
        QVERIFY(a != SingleInstanceName(QStringLiteral("/opt/游戏盒2"), QStringLiteral("1000")));
        // No gluing ambiguity between folder and user.
        QVERIFY(SingleInstanceName(QStringLiteral("/a1"), QStringLiteral("0"))
                != SingleInstanceName(QStringLiteral("/a"), QStringLiteral("10")));
        QVERIFY(a.size() < 48);
        QVERIFY(QRegularExpression(QStringLiteral("^[a-z0-9-]+$")).match(a).hasMatch());

        // A folder reached through a link is the same folder.
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("real")), dir.filePath(QStringLiteral("link"))));
        QCOMPARE(SingleInstanceNameFor(AppPaths(dir.filePath(QStringLiteral("link")))),
                 SingleInstanceNameFor(AppPaths(dir.filePath(QStringLiteral("real")))));
        QVERIFY(SingleInstanceNameFor(AppPaths(dir.path())) != SingleInstanceNameFor(AppPaths(dir.filePath(QStringLiteral("real")))));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << QStringList() << QString();
        QTest::newRow("plain words") << QStringList{QStringLiteral("-a"), QStringLiteral("游戏")} << QStringLiteral("-a 游戏");
        QTest::newRow("space and empty") << QStringList{QStringLiteral("a b"), QString()} << QStringLiteral("\"a b\" \"\"");
        QTest::newRow("quote and backslash") << QStringList{QStringLiteral("x\"y\\z")} << QStringLiteral("\"x\\\"y\\\\z\"");
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        QCOMPARE(CommandLineText(arguments), text);
    }

    void messages()
    {
        for (const QString &text : {QString(), QStringLiteral("--x \"a b\" 游戏 😀")}) {
            const QByteArray bytes = EncodeHandOff(text);
            // Every proper prefix is the start of a message, never a message.
            for (qsizetype n = 0; n < bytes.size(); ++n)
                QCOMPARE(DecodeHandOff(bytes.left(n)).state, HandOffMessage::State::Incomplete);
            const HandOffMessage m = DecodeHandOff(bytes + QByteArrayLiteral("rest"));
            QCOMPARE(m.state, HandOffMessage::State::Complete);
            QCOMPARE(m.commandLine, text);
            QCOMPARE(m.consumed, bytes.size());
        }
        QCOMPARE(DecodeHandOff(QByteArrayLiteral("GET / HTTP/1.0\r\n")).state, HandOffMessage::State::Invalid);
        QCOMPARE(DecodeHandOff(QByteArrayLiteral("KVHX")).state, HandOffMessage::State::Invalid);
        // A length over the limit is refused before any of it arrives.
        QCOMPARE(DecodeHandOff(QByteArrayLiteral("KVHO\x7f\xff\xff\xff")).state, HandOffMessage::State::Invalid);

        // An overlong command line is cut to the limit on a whole character.
        const QString huge = QStringLiteral("a") + QString(MaxHandOffBytes, QChar(0x6e38));
        const HandOffMessage cut = DecodeHandOff(EncodeHandOff(huge));
        QCOMPARE(cut.state, HandOffMessage::State::Complete);
        QVERIFY(cut.commandLine.toUtf8().size() <= MaxHandOffBytes);
        QVERIFY(cut.commandLine.toUtf8().size() > MaxHandOffBytes - 3);
        QVERIFY(huge.startsWith(cut.commandLine));
    }

    void secondClaimHandsOver()
    {
        const QString name = freshName();
        SingleInstance first(name);
        QVERIFY(first.isRunningInstance());
        QSignalSpy spy(&first, &SingleInstance::handedOver);
        {
            SecondStart second(name, QStringLiteral("-x 游戏"), 10000);
            QTRY_COMPARE_WITH_TIMEOUT(second.result.load(), 1, 15000);
            QVERIFY(!second.wasRunningInstance);
        }
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("-x 游戏"));

        // Garbage and a connection that says nothing are dropped; the service goes on.
        QLocalSocket junk;
        junk.connectToServer(name);
        QVERIFY(junk.waitForConnected(5000));
        junk.write("GET / HTTP/1.0\r\n\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(junk.state(), QLocalSocket::UnconnectedState, 5000);
        QCOMPARE(junk.readAll(), QByteArray());
        QLocalSocket silent;
        silent.connectToServer(name);
        QVERIFY(silent.waitForConnected(5000));
        {
            SecondStart again(name, QString(), 10000);
            QTRY_COMPARE_WITH_TIMEOUT(again.result.load(), 1, 15000);
        }
        QTRY_COMPARE(spy.size(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QString());
        QTRY_COMPARE_WITH_TIMEOUT(silent.state(), QLocalSocket::UnconnectedState, 10000);
    }

    void aRunningInstanceThatDoesNotAnswer()
    {
        const QString name = freshName();
        SingleInstance first(name);
        QVERIFY(first.isRunningInstance());
        // This thread never returns to its event loop while the second waits.
        QElapsedTimer clock;
        clock.start();
        SecondStart second(name, QStringLiteral("x"), 700);
        second.wait();
        QCOMPARE(second.result.load(), 0);
        QVERIFY(!second.wasRunningInstance);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        // The text was delivered all the same: it waited in the connection.
        QSignalSpy spy(&first, &SingleInstance::handedOver);
        QTRY_COMPARE(spy.size(), 1);
    }

    void theClaimEndsWithItsHolder()
    {
        const QString name = freshName();
        {
            SingleInstance first(name);
            QVERIFY(first.isRunningInstance());
            SingleInstance rival(name);
            QVERIFY(!rival.isRunningInstance());
        }
        SingleInstance next(name);
        QVERIFY(next.isRunningInstance());
        // Nobody else listens under the name: a hand-off from here finds no one.
        QCOMPARE(next.handOff(QString(), 100), false);
    }
};

QTEST_GUILESS_MAIN(TestHandOff)
#include "tst_handoff.moc"
