// Chinese throughout, on a system whose language is not (LANG=C): a game's
// Chinese text in device fonts shows, in the portal's player page (the
// portal's own fonts), in a portal page that gives the runtime no fonts (the
// program's), and as a downloaded copy (the local player); the web engine,
// the Flash runtime and the program's message boxes speak Chinese.
#include "shell/gui/clicklabel.h"
#include "support/eventwait.h"
#include "support/gamebox.h"

#include <QFontMetricsF>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QtTest>

#include <cstdlib>

namespace
{
// The device-font names of the probe movie (kavo-swfgen --fonts), their
// colour, and the face the runtime draws them with: the default names by the
// program's settings (serif names get the sans face), the others as the
// runtime falls back.
struct Field
{
    const char *name;
    uint32_t colour;
    const char *face;
};
const char *const SANS = "Noto Sans CJK SC";
const char *const MONO = "Noto Sans Mono CJK SC";
const Field FIELDS[] = {
    {"_sans", 0xE6194B, SANS},         {"_serif", 0x3CB44B, SANS},  {"_typewriter", 0x4363D8, MONO},
    {"_ゴシック", 0xF58231, SANS},      {"_等幅", 0x911EB4, MONO},     {"_明朝", 0x008080, SANS},
    {"宋体", 0xF032E6, SANS},           {"SimSun", 0xE6194B, SANS},   {"新宋体", 0x3CB44B, SANS},
    {"NSimSun", 0x4363D8, MONO},       {"黑体", 0xF58231, SANS},      {"SimHei", 0x911EB4, SANS},
    {"微软雅黑", 0x008080, SANS},       {"Microsoft YaHei", 0xF032E6, SANS}, {"楷体", 0xE6194B, SANS},
    {"KaiTi", 0x3CB44B, SANS},         {"仿宋", 0x4363D8, SANS},      {"FangSong", 0xF58231, SANS},
    {"隶书", 0x911EB4, SANS},           {"LiSu", 0x008080, SANS},     {"幼圆", 0xF032E6, SANS},
    {"YouYuan", 0xE6194B, SANS},       {"Arial", 0x3CB44B, SANS},    {"Times New Roman", 0x4363D8, SANS},
    {"Courier New", 0xF58231, MONO}};
constexpr int FIELD_COUNT = int(sizeof FIELDS / sizeof FIELDS[0]);

QString textOf(int i)
{
    return i >= FIELD_COUNT - 3 ? QStringLiteral("Latin Text 123") : QStringLiteral("中文游戏开始");
}

// The width the face gives the text outside the runtime.
double referenceWidth(int i)
{
    QFont font(QString::fromUtf8(FIELDS[i].face));
    font.setPixelSize(20);
    font.setKerning(false);
    return QFontMetricsF(font).horizontalAdvance(textOf(i));
}

// Pixels of about the field's colour in its cell of the 800 x 570 stage,
// letterboxed into the picture.
int pixelsOfField(const QImage &picture, int i)
{
    const double scale = std::min(picture.width() / 800.0, picture.height() / 570.0);
    const QPointF origin((picture.width() - 800 * scale) / 2, (picture.height() - 570 * scale) / 2);
    const QRectF cell(10 + 200 * (i % 4), 10 + 80 * (i / 4), 190, 40);
    const QRect area = QRectF(origin + cell.topLeft() * scale, cell.size() * scale).toRect()
                           .intersected(picture.rect());
    const QColor want = QColor::fromRgb(FIELDS[i].colour);
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (std::abs(c.red() - want.red()) < 48 && std::abs(c.green() - want.green()) < 48
                && std::abs(c.blue() - want.blue()) < 48)
                ++n;
        }
    }
    return n;
}
} // namespace

class ChineseTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_pages;
    GameBox box;

    QStringList fontReports() const
    {
        return box.portal.requests().filter(QRegularExpression(QStringLiteral("^/fonts\\?")));
    }

    // The probe in the game pane reports its fields' widths; each field is
    // drawn, as wide as its face makes the text.
    void fieldsShowIn(const QString &where, int reportsBefore)
    {
        BA1 &w = *box.w;
        QVERIFY2(KavoTest::WaitUntil([&] { return fontReports().size() > reportsBefore; }, 60000),
                 qPrintable(where + QStringLiteral(": the movie never reported")));
        const QUrlQuery report(QUrl(fontReports().last()).query());
        QVERIFY(waitForGamePicture(w.game()->Web2()));
        // The text is drawn with the frame the widths were measured in; a
        // frame later it is on the picture.
        QImage picture;
        QStringList missing;
        KavoTest::WaitUntil([&] {
            picture = w.game()->Web2()->grab().toImage().convertToFormat(QImage::Format_RGB32);
            missing.clear();
            for (int i = 0; i < FIELD_COUNT; ++i)
                if (pixelsOfField(picture, i) < 8)
                    missing << QString::fromUtf8(FIELDS[i].name);
            return missing.isEmpty();
        }, 20000);
        QStringList wrong;
        for (int i = 0; i < FIELD_COUNT; ++i) {
            const double width = report.queryItemValue(QStringLiteral("W%1").arg(i)).toDouble();
            const double reference = referenceWidth(i);
            qInfo("%s %s: textWidth %.1f, %s gives %.1f", qPrintable(where), FIELDS[i].name, width, FIELDS[i].face,
                  reference);
            if (std::abs(width - reference) > reference / 10)
                wrong << QStringLiteral("%1 %2 (%3)").arg(QString::fromUtf8(FIELDS[i].name)).arg(width).arg(reference);
        }
        picture.save(QStringLiteral(KAVO_BUILD_DIR "/chinese-%1.png").arg(where));
        QVERIFY2(missing.isEmpty(), qPrintable(where + QStringLiteral(" not drawn: ") + missing.join(QLatin1Char(' '))));
        QVERIFY2(wrong.isEmpty(), qPrintable(where + QStringLiteral(" widths: ") + wrong.join(QLatin1String(", "))));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_pages.isValid());
        QVERIFY(QFile::copy(QStringLiteral(KAVO_SOURCE_DIR "/tests/pages/plainplayer.html"),
                            m_pages.filePath(QStringLiteral("plainplayer.html"))));
        QVERIFY(box.start({QStringLiteral("--pages"), m_pages.path()}));
        QProcess gen;
        gen.start(QStringLiteral(KAVO_SWFGEN_BIN),
                  {QStringLiteral("--fonts"), box.base(), m_pages.filePath(QStringLiteral("fonts.swf"))});
        QVERIFY(gen.waitForFinished(30000) && gen.exitCode() == 0);
        QVERIFY(box.installLocalPlayer());
        QVERIFY(QDir().mkpath(box.paths.flashDir()));
        QVERIFY(QFile::copy(m_pages.filePath(QStringLiteral("fonts.swf")), box.paths.flashFile(QStringLiteral("960"))));
    }

    void gameTextShowsInChinese()
    {
        BA1 &w = *box.w;
        const QString movie = box.base() + QStringLiteral("pages/fonts.swf");
        int reports = fontReports().size();
        box.play(QStringLiteral("tuzoflash://961$$$%1$$$%u5B57%u4F53").arg(movie));
        QTRY_COMPARE(w.game()->Web2()->locationUrl(), box.base() + QStringLiteral("flash.htm?") + movie);
        fieldsShowIn(QStringLiteral("portal"), reports);
        if (QTest::currentTestFailed())
            return;

        reports = fontReports().size();
        w.game()->Web2()->Navigate(box.base() + QStringLiteral("pages/plainplayer.html?movie=") + movie);
        fieldsShowIn(QStringLiteral("plain"), reports);
        if (QTest::currentTestFailed())
            return;

        reports = fontReports().size();
        box.play(QStringLiteral("tuzoflash://960$$$%1$$$%u5B57%u4F53").arg(movie));
        QTRY_COMPARE(w.game()->Web2()->page()->url().scheme(), QStringLiteral("kavo"));
        fieldsShowIn(QStringLiteral("downloaded"), reports);
    }

    void everythingSpeaksChinese()
    {
        BA1 &w = *box.w;
        QVERIFY(GameBox::js(w.Web1(), QStringLiteral("navigator.languages[0]")).toString().startsWith(QLatin1String("zh")));
        QCOMPARE(GameBox::js(w.Web1(), QStringLiteral("navigator.language")).toString(), QStringLiteral("zh-CN"));

        // The engine's own page for an address that cannot be reached (the
        // game pane shows a note of the program's own there: a pane of the
        // program's profile that has none).
        WebPane engine(w.webProfile());
        engine.resize(400, 300);
        QSignalSpy failed(&engine, &WebPane::NavigateError);
        engine.Navigate(QStringLiteral("http://127.0.0.1:9/game.htm"));
        QTRY_COMPARE(failed.count(), 1);
        const auto enginePage = [&] {
            return GameBox::js(&engine, QStringLiteral("document.body ? document.body.innerText : ''")).toString();
        };
        QTRY_VERIFY2(enginePage().contains(QStringLiteral("无法访问")), qPrintable(enginePage()));
        qInfo("the engine's page: %s", qPrintable(enginePage().simplified().left(120)));
        const auto pageText = [&] {
            return GameBox::js(w.game()->Web2(), QStringLiteral("document.body ? document.body.innerText : ''")).toString();
        };

        // A movie that is none: the local player says so itself; online, the
        // runtime's own panel does.
        QByteArray noise(4096, Qt::Uninitialized);
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 131 + 7) % 251);
        QVERIFY(WriteFile(box.paths.flashFile(QStringLiteral("962")), noise));
        QVERIFY(WriteFile(m_pages.filePath(QStringLiteral("broken.swf")), noise));
        box.play(QStringLiteral("tuzoflash://962$$$http://127.0.0.1:9/962.swf$$$%u574F"));
        QTRY_COMPARE(pageText(), QStringLiteral("游戏文件已损坏，请重新下载。"));
        box.play(QStringLiteral("tuzoflash://963$$$%1pages/broken.swf$$$%u574F").arg(box.base()));
        const auto panelText = [&] {
            return GameBox::js(w.game()->Web2(), QStringLiteral("(function () { var p = document.querySelector('ruffle-player, ruffle-object, ruffle-embed');"
                                                      " var panel = p && p.shadowRoot && p.shadowRoot.getElementById('panic');"
                                                      " return panel ? panel.innerText : ''; })()"))
                .toString();
        };
        QTRY_VERIFY_WITH_TIMEOUT(panelText().contains(QStringLiteral("Ruffle")), 30000);
        QVERIFY2(panelText().contains(QStringLiteral("无法")), qPrintable(panelText()));
        qInfo("the runtime's panel: %s", qPrintable(panelText().simplified()));

        // A message box of the program.
        MessageAnswer answer(QMessageBox::No);
        w.npc_Click(Caption::ListTab);
        w.shan_name_Click();
        QTRY_COMPARE(answer.count, 1);
        QCOMPARE(answer.text, QStringLiteral("确定要删除全部[最近玩过的游戏]列表吗？"));
        QCOMPARE(answer.buttonTexts.size(), 2);
        qInfo("the buttons: %s", qPrintable(answer.buttonTexts.join(QLatin1Char(' '))));
        for (const QString &text : answer.buttonTexts)
            QVERIFY2(text.contains(QStringLiteral("是")) || text.contains(QStringLiteral("否")), qPrintable(text));
    }
};

int main(int argc, char *argv[])
{
    // A system whose language is not Chinese.
    qputenv("LANG", "C");
    qputenv("LC_ALL", "C");
    qunsetenv("LANGUAGE");
    QApplication app(argc, argv);
    ChineseTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_chinese.moc"
