// The signals that end the program from outside become one Qt signal in the
// event loop, and a second one ends the process as before.
#include "startup/quitsignals.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

class QuitSignalsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachSignalIsDeliveredInTheEventLoop_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    void eachSignalIsDeliveredInTheEventLoop()
    {
        QFETCH(int, signalNumber);
        QuitSignals quit;
        QVERIFY(quit.isActive());
        QSignalSpy spy(&quit, &QuitSignals::quitRequested);
        QCOMPARE(::kill(::getpid(), signalNumber), 0);
        // The handler only wrote to the pipe: nothing has been emitted yet.
        QCOMPARE(spy.size(), 0);
        QVERIFY(spy.wait(5000));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().toInt(), signalNumber);
    }

    void theSignalsGetTheirPreviousEffectBack()
    {
        struct sigaction before = {};
        QCOMPARE(::sigaction(SIGTERM, nullptr, &before), 0);
        {
            QuitSignals quit;
            struct sigaction during = {};
            ::sigaction(SIGTERM, nullptr, &during);
            QVERIFY(during.sa_handler != before.sa_handler);
            // Only one object per process takes the signals.
            QuitSignals second;
            QVERIFY(!second.isActive());
        }
        struct sigaction after = {};
        ::sigaction(SIGTERM, nullptr, &after);
        QVERIFY(after.sa_handler == before.sa_handler);
        // A new object works again.
        QuitSignals again;
        QVERIFY(again.isActive());
    }

    void aSecondSignalEndsTheProcess()
    {
        // In a child: the first SIGTERM is taken, the second ends it.
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            QuitSignals quit;
            ::kill(::getpid(), SIGTERM);
            ::kill(::getpid(), SIGTERM);
            ::_exit(quit.isActive() ? 0 : 3);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM, qPrintable(QString::number(status)));
    }
};

QTEST_GUILESS_MAIN(QuitSignalsTest)
#include "tst_quitsignals.moc"
