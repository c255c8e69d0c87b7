// Typing into a game through the desktop's pinyin input method (on a session
// bus of the test's own): a movie that focuses its text field at its start
// gets, without a click, exactly what the input method commits, in order and
// once, online and as a downloaded copy; the candidate window stands on the
// game; a game without a text field still hears its arrow keys at once.
#include "support/eventwait.h"
#include "support/gamebox.h"
#include "support/inputmethod.h"
#include "support/trayhost.h"
#include "support/x11probe.h"

#include <QInputMethod>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace
{
const QString REPORT = QStringLiteral("/guestbook/report?t=");
}

class GameTypingTest : public QObject
{
    Q_OBJECT

public:
    explicit GameTypingTest(const QString &inputMethodError) : m_inputMethodError(inputMethodError) {}

private:
    QString m_inputMethodError;
    QTemporaryDir m_pages;
    GameBox box;

    // What the guestbook reported, oldest first.
    QStringList typed() const
    {
        QStringList texts;
        for (const QString &target : box.portal.requests()) {
            if (target.startsWith(REPORT))
                texts.append(QUrl::fromPercentEncoding(target.mid(REPORT.size()).toUtf8()));
        }
        return texts;
    }

    QString runtimeFocus()
    {
        return GameBox::js(box.w->game()->Web2(),
                           QStringLiteral("var p = document.querySelector('ruffle-player, ruffle-object, ruffle-embed');"
                                          "var a = p && p.shadowRoot && p.shadowRoot.activeElement;"
                                          "(document.hasFocus() ? '' : 'unfocused ') + (a ? a.id : 'none')"))
            .toString();
    }

    bool gameStarted(const QString &command, const QString &ready, int count)
    {
        box.play(command);
        return KavoTest::WaitUntil([&] { return box.portal.requests().count(ready) >= count; }, 40000);
    }

    bool type(const QStringList &keys)
    {
        QStringList arguments{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80")};
        return Xdotool(arguments + keys);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_inputMethodError.isEmpty())
            QFAIL(qPrintable(QStringLiteral("the input method: ") + m_inputMethodError));
        QVERIFY(m_pages.isValid());
        QVERIFY(box.start({QStringLiteral("--pages"), m_pages.path()}));
        for (const char *kind : {"--guestbook", "--keys"}) {
            QProcess gen;
            gen.start(QStringLiteral(KAVO_SWFGEN_BIN), {QString::fromLatin1(kind), box.base(),
                                                        m_pages.filePath(QString::fromLatin1(kind + 2) + QStringLiteral(".swf"))});
            QVERIFY(gen.waitForFinished(30000) && gen.exitCode() == 0);
        }
        QVERIFY(box.installLocalPlayer());
        QVERIFY(QDir().mkpath(box.paths.flashDir()));
        QVERIFY(QFile::copy(m_pages.filePath(QStringLiteral("guestbook.swf")), box.paths.flashFile(QStringLiteral("961"))));
        QVERIFY(QFile::copy(m_pages.filePath(QStringLiteral("keys.swf")), box.paths.flashFile(QStringLiteral("951"))));
    }

    void typingReachesTheGame_data()
    {
        QTest::addColumn<QString>("guestbook");
        QTest::addColumn<QString>("keys");
        QTest::newRow("online") << QStringLiteral("tuzoflash://960$$$%1pages/guestbook.swf$$$%u7559%u8A00")
                                << QStringLiteral("tuzoflash://950$$$%1pages/keys.swf$$$%u6309%u952E");
        QTest::newRow("downloaded copy") << QStringLiteral("tuzoflash://961$$$%1pages/guestbook.swf$$$%u7559%u8A00")
                                         << QStringLiteral("tuzoflash://951$$$%1pages/keys.swf$$$%u6309%u952E");
    }

    void typingReachesTheGame()
    {
        QFETCH(QString, guestbook);
        QFETCH(QString, keys);
        const int round = QTest::currentDataTag() == QLatin1String("online") ? 1 : 2;
        const qsizetype before = typed().size();
        QVERIFY(KavoTest::WaitUntil([&] { return box.w->isActiveWindow(); }, 10000));
        QVERIFY2(gameStarted(guestbook.arg(box.base()), QStringLiteral("/guestbook/ready"), round), "the guestbook never ran");
        // The movie's field has the keyboard, and keeps it once the program
        // has given the new game the keys.
        QVERIFY2(KavoTest::WaitUntil([&] { return runtimeFocus() == QLatin1String("virtual-keyboard"); }, 20000),
                 qPrintable(runtimeFocus()));
        QVERIFY(KavoTest::Settle());
        QCOMPARE(runtimeFocus(), QStringLiteral("virtual-keyboard"));

        // The candidate window's place: the caret the input method is told
        // of stands on the game, in the middle of the player.
        WebPane *pane = box.w->game()->Web2();
        const QPoint middle = pane->mapTo(pane->window(), pane->rect().center());
        QVERIFY2(KavoTest::WaitUntil([&] {
                     const QPoint caret = QGuiApplication::inputMethod()->cursorRectangle().toRect().topLeft();
                     return (caret - middle).manhattanLength() < 40;
                 }, 10000),
                 qPrintable(QStringLiteral("caret at %1,%2, the player's middle at %3,%4")
                                .arg(QGuiApplication::inputMethod()->cursorRectangle().x())
                                .arg(QGuiApplication::inputMethod()->cursorRectangle().y())
                                .arg(middle.x())
                                .arg(middle.y())));

        // Pinyin and a space for the first candidate; Latin letters the
        // input method lets through with Return; digits it does not take.
        const struct
        {
            QStringList keys;
            QString text;
        } steps[] = {
            {{QStringLiteral("n"), QStringLiteral("i"), QStringLiteral("h"), QStringLiteral("a"), QStringLiteral("o"),
              QStringLiteral("space")},
             QStringLiteral("你好")},
            {{QStringLiteral("k"), QStringLiteral("a"), QStringLiteral("v"), QStringLiteral("o"), QStringLiteral("Return")},
             QStringLiteral("你好kavo")},
            {{QStringLiteral("2"), QStringLiteral("0")}, QStringLiteral("你好kavo20")},
        };
        for (const auto &step : steps) {
            QVERIFY(type(step.keys));
            QVERIFY2(KavoTest::WaitUntil([&] { return typed().value(typed().size() - 1) == step.text; }, 15000),
                     qPrintable(step.text + QStringLiteral(" expected, the field showed: ")
                                + typed().mid(before).join(QStringLiteral(" | "))));
        }
        // Nothing half-typed ever reached the field: every state it showed
        // is a beginning of the final text.
        for (const QString &shown : typed().mid(before))
            QVERIFY2(steps[2].text.startsWith(shown), qPrintable(typed().mid(before).join(QStringLiteral(" | "))));

        QVERIFY2(gameStarted(keys.arg(box.base()), QStringLiteral("/keys-ready"), round), "the key game never ran");
        QVERIFY2(KavoTest::WaitUntil([&] { return runtimeFocus() == QLatin1String("container"); }, 20000),
                 qPrintable(runtimeFocus()));
        QVERIFY(type({QStringLiteral("Right")}));
        QVERIFY2(KavoTest::WaitUntil([&] {
                     return box.portal.requests().count(QStringLiteral("/key?code=39&ctrl=false")) >= round;
                 }, 15000),
                 qPrintable(runtimeFocus()));
    }
};

int main(int argc, char *argv[])
{
    // The toolkit picks its input method when the application starts.
    InputMethodSession inputMethod;
    const QString error = inputMethod.start(QStringLiteral("libpinyin")) ? QString() : inputMethod.error();
    QApplication app(argc, argv);
    GameTypingTest test(error);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_gametyping.moc"
