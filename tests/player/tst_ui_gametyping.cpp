// Typing into a game through the desktop's pinyin input method (on a session
// bus of the test's own): a movie that focuses its text field at its start
// gets, without a click, exactly what the input method commits, in order and
// once, online and as a downloaded copy; the candidate window stands on the
// game; a game without a text field still hears its arrow keys at once.
#include "support/eventwait.h"
#include "support/gamebox.h"
#include "support/inputmethod.h"
#include "support/trayhost.h"

#include <QInputMethod>
#include <QProcess>
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

    // The id of what has the keys inside the runtime's player.
    QString runtimeFocus()
    {
        return GameBox::js(box.w->game()->Web2(), QStringLiteral("var p = document.querySelector('ruffle-player, ruffle-object, ruffle-embed');"
                                                                 "var a = p && p.shadowRoot.activeElement; a ? a.id : ''"))
            .toString();
    }

    bool gameStarted(const QString &command, const QString &ready, int count)
    {
        box.play(command);
        return KavoTest::WaitUntil([&] { return box.portal.requests().count(ready) >= count; }, 40000);
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
            const QString movie = m_pages.filePath(QString::fromLatin1(kind + 2) + QStringLiteral(".swf"));
            gen.start(QStringLiteral(KAVO_SWFGEN_BIN), {QString::fromLatin1(kind), box.base(), movie});
            QVERIFY(gen.waitForFinished(30000) && gen.exitCode() == 0);
        }
        QVERIFY(box.installLocalPlayer());
        QVERIFY(QDir().mkpath(box.paths.flashDir()));
        for (const auto &[movie, id] : {std::pair{"guestbook.swf", "961"}, std::pair{"keys.swf", "951"}})
            QVERIFY(QFile::copy(m_pages.filePath(QString::fromLatin1(movie)), box.paths.flashFile(QString::fromLatin1(id))));
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
        QVERIFY2(gameStarted(guestbook.arg(box.base()), QStringLiteral("/guestbook/ready"), round), "no guestbook");
        // The movie's field has the keyboard, and keeps it once the program
        // has given the new game the keys.
        QVERIFY2(KavoTest::WaitUntil([&] { return runtimeFocus() == QLatin1String("virtual-keyboard"); }, 20000),
                 qPrintable(runtimeFocus()));
        QVERIFY(KavoTest::Settle());
        QCOMPARE(runtimeFocus(), QStringLiteral("virtual-keyboard"));

        // The input method hears of a caret in the middle of the player,
        // where its candidate window opens.
        WebPane *pane = box.w->game()->Web2();
        const QPoint middle = pane->mapTo(pane->window(), pane->rect().center());
        const auto caret = [] { return QGuiApplication::inputMethod()->cursorRectangle().toRect().topLeft(); };
        QVERIFY2(KavoTest::WaitUntil([&] { return (caret() - middle).manhattanLength() < 40; }, 10000),
                 qPrintable(QStringLiteral("caret %1,%2").arg(caret().x()).arg(caret().y())));

        // Pinyin and a space for the first candidate; Latin letters the
        // input method lets through with Return; digits it does not take.
        const QString steps[][2] = {{QStringLiteral("n i h a o space"), QStringLiteral("你好")},
                                    {QStringLiteral("k a v o Return"), QStringLiteral("你好kavo")},
                                    {QStringLiteral("2 0"), QStringLiteral("你好kavo20")}};
        for (const auto &[keys, text] : steps) {
            QVERIFY(Xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80")}
                            + keys.split(QLatin1Char(' '))));
            QVERIFY2(KavoTest::WaitUntil([&] { return typed().value(typed().size() - 1) == text; }, 15000),
                     qPrintable(typed().mid(before).join(QLatin1Char('|'))));
        }
        // Nothing half-typed ever reached the field: every text it showed
        // begins the final one.
        for (const QString &shown : typed().mid(before))
            QVERIFY2(steps[2][1].startsWith(shown), qPrintable(typed().mid(before).join(QLatin1Char('|'))));

        QVERIFY2(gameStarted(keys.arg(box.base()), QStringLiteral("/keys-ready"), round), "no key game");
        QVERIFY2(KavoTest::WaitUntil([&] { return runtimeFocus() == QLatin1String("container"); }, 20000),
                 qPrintable(runtimeFocus()));
        QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("Right")}));
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
