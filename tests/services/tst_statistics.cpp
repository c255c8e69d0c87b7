#include "services/adapteraddress.h"
#include "services/statistics.h"

#include <QRegularExpression>
#include <QTest>

namespace
{
// year month day hour minute second (unpadded) + 100..999
const QRegularExpression FALLBACK(QStringLiteral("^20\\d\\d(1[0-2]|[1-9])(3[01]|[12]\\d|[1-9])"
                                                 "(2[0-3]|1\\d|\\d)([1-5]\\d|\\d)([1-5]\\d|\\d)[1-9]\\d\\d$"));
}

class TestStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void macText_data();
    void macText();
    void fallbackDigits();
    void systemAddressHasTheStoredForm();
    void statisticsAddress();
};

void TestStatistics::macText_data()
{
    QTest::addColumn<QString>("reported");
    QTest::addColumn<QString>("expected"); // null: the substitute
    QTest::newRow("usable") << "00:1A:2B:3C:4D:5E" << "00-1A-2B-3C-4D-5E";
    QTest::newRow("already dashed") << "00-1A-2B-3C-4D-5E" << "00-1A-2B-3C-4D-5E";
    QTest::newRow("empty") << "" << QString();
    QTest::newRow("all zero") << "00:00:00:00:00:00" << QString();
    QTest::newRow("excluded") << "00:53:45:00:00:00" << QString();
    QTest::newRow("excluded inside") << "xx-00-53-45-00-00-00" << QString();
    // The search is case-sensitive and exact.
    QTest::newRow("near miss") << "00:53:45:00:00:01" << "00-53-45-00-00-01";
}

void TestStatistics::macText()
{
    QFETCH(QString, reported);
    QFETCH(QString, expected);
    const QString text = MacAddressText(reported);
    if (expected.isNull())
        QVERIFY2(FALLBACK.match(text).hasMatch(), qPrintable(text));
    else
        QCOMPARE(text, expected);
}

void TestStatistics::fallbackDigits()
{
    QCOMPARE(FallbackUserId(QDateTime(QDate(2011, 1, 18), QTime(9, 5, 7)), 123), QStringLiteral("2011118957123"));
    QCOMPARE(FallbackUserId(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)), 999),
             QStringLiteral("20261231235959999"));
    QCOMPARE(FallbackUserId(QDateTime(QDate(2026, 10, 1), QTime(0, 0, 0)), 100), QStringLiteral("2026101000100"));
    for (int i = 0; i < 200; ++i) {
        const QString id = FallbackUserId();
        QVERIFY2(FALLBACK.match(id).hasMatch(), qPrintable(id));
    }
}

void TestStatistics::systemAddressHasTheStoredForm()
{
    // Whatever this machine has: either no address or six upper-case groups,
    // and the identifier is never empty.
    const QString mac = FirstAdapterMacAddress();
    if (!mac.isEmpty())
        QVERIFY2(QRegularExpression(QStringLiteral("^[0-9A-F]{2}(:[0-9A-F]{2}){5}$")).match(mac).hasMatch(),
                 qPrintable(mac));
    QVERIFY(!MacAddressText().isEmpty());
    QVERIFY(!MacAddressText().contains(QLatin1Char(':')));
}

void TestStatistics::statisticsAddress()
{
    QCOMPARE(StatisticsAddress(QStringLiteral("http://127.0.0.1:8740/"), QStringLiteral("a b&c")),
             QStringLiteral("http://127.0.0.1:8740/tj/tj.asp?id=a b&c"));
}

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
