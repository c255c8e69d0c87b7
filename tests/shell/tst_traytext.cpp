// Texts of the notification-area icon: the cuts to its fields and the
// balloon option.
#include "shell/traytext.h"

#include <QTest>

class TestTrayText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cutsAndOption()
    {
        QCOMPARE(TrayTipText(QStringLiteral("Kavo游戏盒")), QStringLiteral("Kavo游戏盒"));
        QCOMPARE(TrayTipText(QString(200, QLatin1Char('x'))), QString(127, QLatin1Char('x')));
        const BalloonContent b = MakeBalloon(QString(300, QChar(0x622a)));
        QCOMPARE(b.title, QStringLiteral("Kavo游戏盒提示:"));
        QCOMPARE(b.text, QString(255, QChar(0x622a)));
        // A character of two UTF-16 units at the cut goes as a whole.
        const QString emoji = QStringLiteral("😀");
        QCOMPARE(CutToTrayField(QString(62, QLatin1Char('t')) + emoji, BalloonTitleField), QString(62, QLatin1Char('t')));
        QCOMPARE(CutToTrayField(QString(61, QLatin1Char('t')) + emoji, BalloonTitleField),
                 QString(61, QLatin1Char('t')) + emoji);
    }

};

QTEST_APPLESS_MAIN(TestTrayText)
#include "tst_traytext.moc"
