// As root, the program runs its web engine only when the user switched the
// engine's sandbox off with the engine's own switches.
#include "startup/enginesandbox.h"

#include <QtTest>

class TestEngineSandbox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void switchedOff_data()
    {
        QTest::addColumn<bool>("variable");
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<bool>("off");
        QTest::newRow("nothing") << false << QByteArray() << false;
        QTest::newRow("variable") << true << QByteArray() << true;
        QTest::newRow("flag") << false << QByteArray("--no-sandbox") << true;
        QTest::newRow("flag among others") << false << QByteArray("--disable-gpu  -no-sandbox\t--x=1") << true;
        QTest::newRow("flag with a value") << false << QByteArray("--no-sandbox=1") << true;
        QTest::newRow("other flags") << false << QByteArray("--disable-gpu --no-sandboxing") << false;
        QTest::newRow("a value, not a flag") << false << QByteArray("--js-flags=--no-sandbox") << false;
        QTest::newRow("no dashes") << false << QByteArray("no-sandbox") << false;
    }

    void switchedOff()
    {
        QFETCH(bool, variable);
        QFETCH(QByteArray, flags);
        QTEST(SandboxSwitchedOff(variable, flags), "off");
    }

    void messageNamesTheSwitch()
    {
        const QStringList lines = RootWithoutSandboxMessage().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        for (const QString &line : lines)
            QVERIFY2(line.contains(QLatin1String("root")) && line.contains(QLatin1String("QTWEBENGINE_DISABLE_SANDBOX=1")),
                     qPrintable(line));
    }
};

QTEST_APPLESS_MAIN(TestEngineSandbox)
#include "tst_enginesandbox.moc"
