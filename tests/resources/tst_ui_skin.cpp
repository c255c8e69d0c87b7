// The shipped skin: every bitmap is present in the resources with its size and
// 8-bit colour table, every rectangle the window cuts from it holds a picture
// on the right background, and each button's states look different.

#include "resources/gui/skinresources.h"

#include <QFile>
#include <QSet>
#include <QtEndian>
#include <QtTest>

namespace
{
struct StripSize
{
    int id;
    QSize size;
};

const StripSize STRIP_SIZES[] = {
    {101, {100, 133}}, {102, {126, 19}}, {103, {126, 19}}, {104, {110, 20}}, {105, {48, 19}},
    {106, {84, 19}},   {107, {385, 63}}, {108, {385, 63}}, {109, {385, 63}}, {110, {225, 25}},
    {111, {225, 25}},  {112, {180, 50}}, {113, {52, 52}},
};

enum class Background { CaptionBar, TabBar, Toolbar, TitleStrip };

// A button frame as the window copies it, and what it is drawn on.
struct Frame
{
    const char *name;
    int id;
    QRect rect;
    Background background;
};

const Frame FRAMES[] = {
    {"menu", 102, {21, 0, 24, 19}, Background::CaptionBar},
    {"minimise", 102, {45, 0, 24, 19}, Background::CaptionBar},
    {"maximise", 102, {69, 0, 24, 19}, Background::CaptionBar},
    {"close", 102, {93, 0, 33, 19}, Background::CaptionBar},
    {"menu hover", 103, {21, 0, 24, 19}, Background::CaptionBar},
    {"minimise hover", 103, {45, 0, 24, 19}, Background::CaptionBar},
    {"maximise hover", 103, {69, 0, 24, 19}, Background::CaptionBar},
    {"close hover", 103, {93, 0, 33, 19}, Background::CaptionBar},
    {"leave full screen", 104, {0, 0, 55, 20}, Background::TitleStrip},
    {"leave full screen hover", 104, {55, 0, 55, 20}, Background::TitleStrip},
    {"restore", 105, {0, 0, 24, 19}, Background::CaptionBar},
    {"restore hover", 105, {24, 0, 24, 19}, Background::CaptionBar},
    {"pin", 106, {0, 0, 21, 19}, Background::CaptionBar},
    {"pin hover", 106, {21, 0, 21, 19}, Background::CaptionBar},
    {"unpin", 106, {42, 0, 21, 19}, Background::CaptionBar},
    {"unpin hover", 106, {63, 0, 21, 19}, Background::CaptionBar},
    {"tab 0", 107, {0, 0, 77, 63}, Background::TabBar},
    {"tab 1", 107, {77, 0, 77, 63}, Background::TabBar},
    {"tab 2", 107, {154, 0, 77, 63}, Background::TabBar},
    {"tab 3", 107, {231, 0, 77, 63}, Background::TabBar},
    {"tab 4", 107, {308, 0, 77, 63}, Background::TabBar},
    {"tab 0 selected", 108, {0, 0, 77, 63}, Background::TabBar},
    {"tab 1 selected", 108, {77, 0, 77, 63}, Background::TabBar},
    {"tab 2 selected", 108, {154, 0, 77, 63}, Background::TabBar},
    {"tab 3 selected", 108, {231, 0, 77, 63}, Background::TabBar},
    {"tab 4 selected", 108, {308, 0, 77, 63}, Background::TabBar},
    {"tab 0 hover", 109, {0, 0, 77, 63}, Background::TabBar},
    {"tab 1 hover", 109, {77, 0, 77, 63}, Background::TabBar},
    {"tab 2 hover", 109, {154, 0, 77, 63}, Background::TabBar},
    {"tab 3 hover", 109, {231, 0, 77, 63}, Background::TabBar},
    {"tab 4 hover", 109, {308, 0, 77, 63}, Background::TabBar},
    {"reload", 110, {0, 0, 45, 25}, Background::Toolbar},
    {"favourite", 110, {45, 0, 45, 25}, Background::Toolbar},
    {"screenshot", 110, {90, 0, 45, 25}, Background::Toolbar},
    {"download", 110, {135, 0, 45, 25}, Background::Toolbar},
    {"full screen", 110, {180, 0, 45, 25}, Background::Toolbar},
    {"reload hover", 111, {0, 0, 45, 25}, Background::Toolbar},
    {"favourite hover", 111, {45, 0, 45, 25}, Background::Toolbar},
    {"screenshot hover", 111, {90, 0, 45, 25}, Background::Toolbar},
    {"download hover", 111, {135, 0, 45, 25}, Background::Toolbar},
    {"full screen hover", 111, {180, 0, 45, 25}, Background::Toolbar},
    {"stop", 112, {0, 0, 45, 25}, Background::Toolbar},
    {"stop hover", 112, {45, 0, 45, 25}, Background::Toolbar},
    {"continue", 112, {90, 0, 45, 25}, Background::Toolbar},
    {"continue hover", 112, {135, 0, 45, 25}, Background::Toolbar},
    {"mute", 112, {0, 25, 45, 25}, Background::Toolbar},
    {"mute hover", 112, {45, 25, 45, 25}, Background::Toolbar},
    {"unmute", 112, {90, 25, 45, 25}, Background::Toolbar},
    {"unmute hover", 112, {135, 25, 45, 25}, Background::Toolbar},
    {"hide panel", 113, {0, 0, 26, 26}, Background::Toolbar},
    {"hide panel hover", 113, {26, 0, 26, 26}, Background::Toolbar},
    {"show panel", 113, {0, 26, 26, 26}, Background::Toolbar},
    {"show panel hover", 113, {26, 26, 26, 26}, Background::Toolbar},
};

// Pairs of frames that must not look alike besides each frame and its
// " hover" frame (taken from FRAMES): other states of one button, and
// neighbouring buttons of one strip.
const std::pair<const char *, const char *> DIFFERENT_PAIRS[] = {
    {"maximise", "restore"},
    {"pin", "unpin"},
    {"tab 0", "tab 0 selected"},
    {"tab 0 selected", "tab 0 hover"},
    {"tab 0", "tab 1"},
    {"tab 3", "tab 4"},
    {"reload", "favourite"},
    {"stop", "continue"},
    {"mute", "unmute"},
    {"stop", "mute"},
    {"hide panel", "show panel"},
};

const Frame *findFrame(const char *name)
{
    for (const Frame &f : FRAMES) {
        if (qstrcmp(f.name, name) == 0)
            return &f;
    }
    return nullptr;
}

QImage strip(int id)
{
    return SkinBitmap(id).convertToFormat(QImage::Format_RGB32);
}

// Colour behind pixel row y of a frame. The caption and tab buttons sit on the
// frame's top band (window rows 5 and 30) and repeat its rows.
QRgb backgroundAt(const QImage &frameSkin, Background b, int y)
{
    switch (b) {
    case Background::CaptionBar:
        return frameSkin.pixel(80, 5 + y);
    case Background::TabBar:
        return frameSkin.pixel(80, 30 + y);
    case Background::Toolbar:
        return SkinColors::Toolbar;
    case Background::TitleStrip:
        return SkinColors::TitleStrip;
    }
    return 0;
}

int distinctColours(const QImage &image, const QRect &r)
{
    QSet<QRgb> colours;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x)
            colours.insert(image.pixel(x, y));
    }
    return colours.size();
}
} // namespace

class TestUiSkin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each strip as the program loads it, and the committed file it carries.
    void bitmapsArePresentAsCommittedEightBitFiles()
    {
        for (const StripSize &s : STRIP_SIZES) {
            const QImage image = SkinBitmap(s.id);
            QVERIFY2(!image.isNull(), qPrintable(QString::number(s.id)));
            QCOMPARE(image.size(), s.size);
            QCOMPARE(image.format(), QImage::Format_Indexed8);
            QVERIFY(image.colorCount() <= 256);

            const QString name = QStringLiteral("%1.bmp").arg(s.id);
            QFile file(QStringLiteral(KAVO_SOURCE_DIR "/src/resources/skin/") + name);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            const QByteArray bytes = file.readAll();
            QVERIFY(bytes.size() > 54 + 1024);
            const auto *d = reinterpret_cast<const uchar *>(bytes.constData());
            QCOMPARE(bytes.left(2), QByteArray("BM"));
            QCOMPARE(qFromLittleEndian<quint32>(d + 2), quint32(bytes.size()));
            QCOMPARE(qFromLittleEndian<quint32>(d + 14), 40u);          // info header
            QCOMPARE(qFromLittleEndian<qint32>(d + 18), s.size.width());
            QCOMPARE(qFromLittleEndian<qint32>(d + 22), s.size.height()); // bottom-up
            QCOMPARE(qFromLittleEndian<quint16>(d + 28), quint16(8));   // bits per pixel
            QCOMPARE(qFromLittleEndian<quint32>(d + 30), 0u);           // uncompressed
            QCOMPARE(qFromLittleEndian<quint32>(d + 46), 256u);         // colours used
            const int stride = (s.size.width() + 3) & ~3;
            QCOMPARE(qFromLittleEndian<quint32>(d + 10), quint32(54 + 1024));
            QCOMPARE(bytes.size(), 54 + 1024 + stride * s.size.height());

            // The program carries exactly the committed file.
            QFile compiled(QStringLiteral(":/skin/") + name);
            QVERIFY(compiled.open(QIODevice::ReadOnly));
            QVERIFY2(compiled.readAll() == bytes, qPrintable(name));
        }
        // Only set 0 ships; other ids give a null image rather than a crash.
        QVERIFY(SkinBitmap(100).isNull());
        QVERIFY(SkinBitmap(114).isNull());
        QVERIFY(SkinBitmap(201).isNull());
        QVERIFY(SkinBitmap(-1).isNull());
    }

    void framePiecesJoin()
    {
        const QImage f = strip(101);
        // The stretched top middle repeats one column; the pieces beside it
        // continue its rows, so stretching leaves no seam.
        for (int y = 0; y < 96; ++y) {
            for (int x = 70; x < 90; ++x)
                QCOMPARE(f.pixel(x, y), f.pixel(70, y));
            QCOMPARE(f.pixel(69, y), f.pixel(70, y));
            QCOMPARE(f.pixel(97, y), f.pixel(70, y));
        }
        // Side and bottom pieces are stretched too: uniform along the stretch.
        for (int x = 0; x < 100; ++x) {
            for (int y = 96; y < 103; ++y)
                QCOMPARE(f.pixel(x, y), f.pixel(x, 96));
        }
        for (int y = 103; y < 133; ++y) {
            for (int x = 35; x < 65; ++x)
                QCOMPARE(f.pixel(x, y), f.pixel(35, y));
        }
        // An outline runs round the window, and the top band is not flat.
        QVERIFY(f.pixel(0, 50) != f.pixel(10, 50));
        QVERIFY(f.pixel(99, 110) != f.pixel(90, 110));
        QVERIFY(f.pixel(50, 132) != f.pixel(50, 120));
        QVERIFY(distinctColours(f, QRect(70, 0, 1, 96)) > 20);
        QVERIFY(f.pixel(80, 10) != f.pixel(80, 110));
        // The application icon in the corner.
        QVERIFY(distinctColours(f, QRect(7, 5, 17, 17)) > 10);
    }

    void framesHoldPicturesOnTheirBackground_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(FRAMES)); ++i)
            QTest::newRow(FRAMES[i].name) << i;
    }

    void framesHoldPicturesOnTheirBackground()
    {
        QFETCH(int, index);
        const Frame &fr = FRAMES[index];
        const QImage frameSkin = strip(101);
        const QImage image = strip(fr.id);
        QVERIFY(QRect(QPoint(0, 0), image.size()).contains(fr.rect));

        // The corners of a resting button are its host's background, so it sits
        // on the window without a box around it.
        const QRect r = fr.rect;
        QCOMPARE(image.pixel(r.left(), r.top()), backgroundAt(frameSkin, fr.background, 0));
        QCOMPARE(image.pixel(r.right(), r.bottom()), backgroundAt(frameSkin, fr.background, r.height() - 1));

        // And a picture is drawn on it: glyph, icon or caption.
        int drawn = 0;
        for (int y = 0; y < r.height(); ++y) {
            const QRgb bg = backgroundAt(frameSkin, fr.background, y);
            for (int x = 0; x < r.width(); ++x)
                drawn += image.pixel(r.left() + x, r.top() + y) != bg;
        }
        QVERIFY2(drawn >= 12, qPrintable(QStringLiteral("%1 pixels drawn").arg(drawn)));
        QVERIFY(distinctColours(image, r) >= 4);
    }

    void restingCaptionButtonsContinueTheCaptionBar()
    {
        // Every column at the sides of a resting caption button is the bar itself.
        const QImage frameSkin = strip(101);
        for (const char *name : {"menu", "minimise", "maximise", "close", "restore", "pin", "unpin"}) {
            const Frame *fr = findFrame(name);
            QVERIFY(fr);
            const QImage image = strip(fr->id);
            for (int y = 0; y < fr->rect.height(); ++y) {
                QCOMPARE(image.pixel(fr->rect.left(), fr->rect.top() + y), frameSkin.pixel(80, 5 + y));
                QCOMPARE(image.pixel(fr->rect.right(), fr->rect.top() + y), frameSkin.pixel(80, 5 + y));
            }
        }
        for (int tab = 0; tab < 5; ++tab) {
            const QImage normal = strip(107);
            for (int y = 0; y < 63; ++y)
                QCOMPARE(normal.pixel(77 * tab, y), frameSkin.pixel(80, 30 + y));
        }
    }

    void statesLookDifferent_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        for (const Frame &f : FRAMES) {
            const QString hover = QString::fromLatin1(f.name) + QStringLiteral(" hover");
            if (findFrame(qPrintable(hover)))
                QTest::addRow("%s / %s", f.name, qPrintable(hover)) << QString::fromLatin1(f.name) << hover;
        }
        for (const auto &[a, b] : DIFFERENT_PAIRS)
            QTest::addRow("%s / %s", a, b) << QString::fromLatin1(a) << QString::fromLatin1(b);
    }

    void statesLookDifferent()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        const Frame *fa = findFrame(qPrintable(a));
        const Frame *fb = findFrame(qPrintable(b));
        QVERIFY(fa && fb);
        QCOMPARE(fa->rect.size(), fb->rect.size());
        const QImage ia = strip(fa->id).copy(fa->rect);
        const QImage ib = strip(fb->id).copy(fb->rect);
        int differing = 0;
        for (int y = 0; y < ia.height(); ++y) {
            for (int x = 0; x < ia.width(); ++x)
                differing += ia.pixel(x, y) != ib.pixel(x, y);
        }
        QVERIFY2(differing >= 20, qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
    }
};

QTEST_MAIN(TestUiSkin)
#include "tst_ui_skin.moc"
