// The display platform the program asks for: X (XWayland on a Wayland
// session) whenever an X display answers, Wayland only without one, and the
// user's own choice always.
#include "startup/displayplatform.h"

#include <QtTest>

class TestDisplayPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choice_data()
    {
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<bool>("x");
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<bool>("noDisplay");
        QTest::newRow("X11 session") << QByteArray() << true << false << QByteArray("xcb") << false;
        QTest::newRow("Wayland with XWayland") << QByteArray() << true << true << QByteArray("xcb") << false;
        QTest::newRow("Wayland alone") << QByteArray() << false << true << QByteArray("wayland") << false;
        QTest::newRow("X display that does not answer") << QByteArray() << false << false << QByteArray() << true;
        QTest::newRow("user chose wayland") << QByteArray("wayland") << true << true << QByteArray() << false;
        QTest::newRow("user chose offscreen") << QByteArray("offscreen") << false << false << QByteArray() << false;
        QTest::newRow("blank choice is none") << QByteArray(" ") << false << true << QByteArray("wayland") << false;
    }

    void choice()
    {
        QFETCH(QByteArray, user);
        QFETCH(bool, x);
        QFETCH(bool, wayland);
        const DisplayChoice choice = ChooseDisplayPlatform(user, x, wayland);
        QTEST(choice.platform, "platform");
        QTEST(choice.noDisplay, "noDisplay");
        // The reason is the program's own, in Chinese.
        QCOMPARE(choice.message.isEmpty(), !choice.noDisplay);
        if (choice.noDisplay)
            QVERIFY(choice.message.contains(QStringLiteral("显示")));
    }
};

QTEST_APPLESS_MAIN(TestDisplayPlatform)
#include "tst_displayplatform.moc"
