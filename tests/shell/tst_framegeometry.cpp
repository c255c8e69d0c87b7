// Units, the edge band and the rounded region of the main window's frame.

#include "shell/framegeometry.h"

#include <QtTest>

using namespace FrameGeometry;

class TestFrameGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void twips()
    {
        // The minimum window size in pixels, and the first-run size.
        QCOMPARE(TwipsToPixels(MIN_WIDTH_TWIPS), 737);
        QCOMPARE(TwipsToPixels(MIN_HEIGHT_TWIPS), 521);
        QCOMPARE(TwipsToPixels(13550), 903);
        QCOMPARE(TwipsToPixels(9210), 614);
        // Halves to even.
        QCOMPARE(TwipsToPixels(22 * 15 + 7), 22);
        QCOMPARE(TwipsToPixels(15 / 2), 0);
        QCOMPARE(PixelsToTwips(903), 13545);
        QVERIFY(PixelsToTwips(736) < MIN_WIDTH_TWIPS);
        QVERIFY(PixelsToTwips(737) >= MIN_WIDTH_TWIPS);
        QVERIFY(PixelsToTwips(520) < MIN_HEIGHT_TWIPS);
    }

    void sizeOnAWorkArea()
    {
        // A work area larger than the window: the design's limits.
        const QSize wide(1280, 1000);
        QCOMPARE(MinimumSizeOn(wide), QSize(737, 521));
        QCOMPARE(FitOn(QSize(2000, 1200), wide), wide);
        QCOMPARE(FitOn(QSize(100, 100), wide), QSize(737, 521));
        // Smaller than the design's smallest window, one side or both.
        QCOMPARE(MinimumSizeOn(QSize(640, 512)), QSize(639, 511));
        QCOMPARE(FitOn(QSize(903, 614), QSize(640, 512)), QSize(640, 512));
        QCOMPARE(MinimumSizeOn(QSize(737, 521)), QSize(736, 520));
        QCOMPARE(FitOn(QSize(903, 614), QSize(700, 900)), QSize(700, 614));
        QCOMPARE(FitOn(QSize(300, 300), QSize(700, 900)), QSize(699, 521));
        // No screen known: the design's floor only.
        QCOMPARE(MinimumSizeOn(QSize()), QSize(737, 521));
        QCOMPARE(FitOn(QSize(2000, 1200), QSize()), QSize(2000, 1200));
        QCOMPARE(FitOn(QSize(100, 100), QSize()), QSize(737, 521));
    }

    void fixedWindowOnAWorkArea()
    {
        // A work area below a top panel, beside a left one.
        const QRect area(60, 32, 800, 568);
        // Inside already: left where it is.
        QCOMPARE(FitInside(QRect(100, 100, 420, 283), area), QRect(100, 100, 420, 283));
        // Over an edge: moved in, not shrunk.
        QCOMPARE(FitInside(QRect(700, 500, 420, 283), area), QRect(440, 317, 420, 283));
        QCOMPARE(FitInside(QRect(0, 0, 420, 283), area), QRect(60, 32, 420, 283));
        // Larger than the area: as large as the area, at its corner.
        QCOMPARE(FitInside(QRect(-50, 400, 903, 614), area), area);
        QCOMPARE(FitInside(QRect(500, 10, 350, 250), QRect(0, 0, 320, 240)), QRect(0, 0, 320, 240));
        // No work area known: as asked.
        QCOMPARE(FitInside(QRect(-5, -5, 420, 283), QRect()), QRect(-5, -5, 420, 283));
    }

    void zones_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("zone");
        // A 200 x 100 window: the band is x <= 2, x >= 198, y <= 2, y >= 98.
        QTest::newRow("interior") << QPoint(100, 50) << int(EdgeZone::Interior);
        QTest::newRow("just inside left") << QPoint(3, 50) << int(EdgeZone::Interior);
        QTest::newRow("x = 2 is left") << QPoint(2, 50) << int(EdgeZone::Left);
        QTest::newRow("x = 0 is left") << QPoint(0, 50) << int(EdgeZone::Left);
        QTest::newRow("x = W - 2 is right") << QPoint(198, 50) << int(EdgeZone::Right);
        QTest::newRow("x = W - 3 inside") << QPoint(197, 50) << int(EdgeZone::Interior);
        QTest::newRow("y = 2 is top") << QPoint(100, 2) << int(EdgeZone::Top);
        QTest::newRow("y = H - 2 is bottom") << QPoint(100, 98) << int(EdgeZone::Bottom);
        QTest::newRow("y = H - 3 inside") << QPoint(100, 97) << int(EdgeZone::Interior);
        QTest::newRow("top left") << QPoint(1, 2) << int(EdgeZone::TopLeft);
        QTest::newRow("top right") << QPoint(199, 0) << int(EdgeZone::TopRight);
        QTest::newRow("bottom left") << QPoint(2, 98) << int(EdgeZone::BottomLeft);
        QTest::newRow("bottom right") << QPoint(199, 99) << int(EdgeZone::BottomRight);
        QTest::newRow("outside to the left") << QPoint(-5, 50) << int(EdgeZone::Left);
        QTest::newRow("outside below") << QPoint(100, 130) << int(EdgeZone::Bottom);
    }

    void zones()
    {
        QFETCH(QPoint, point);
        QFETCH(int, zone);
        QCOMPARE(int(ClassifyEdge(point.x(), point.y(), 200, 100)), zone);
    }

    void roundRegion()
    {
        const QList<QRect> rects = RoundRegionRects(903, 614);
        QRect bounds;
        int area = 0;
        for (const QRect &r : rects) {
            bounds |= r;
            area += r.width() * r.height();
            for (const QRect &other : rects)
                QVERIFY(&r == &other || !r.intersects(other));
        }
        // One pixel wider and taller than the window.
        QCOMPARE(bounds, QRect(0, 0, 904, 615));
        // Only the four small corners are cut: 2 + 1 pixels at each.
        QCOMPARE(area, 904 * 615 - 4 * 3);
        const auto contains = [&rects](int x, int y) {
            for (const QRect &r : rects) {
                if (r.contains(x, y))
                    return true;
            }
            return false;
        };
        QVERIFY(!contains(0, 0));
        QVERIFY(!contains(1, 0));
        QVERIFY(contains(2, 0));
        QVERIFY(!contains(0, 1));
        QVERIFY(contains(1, 1));
        QVERIFY(contains(0, 2));
        QVERIFY(!contains(903, 0));
        QVERIFY(!contains(903, 614));
        QVERIFY(contains(903, 300));
        QVERIFY(contains(450, 614));

        // Degenerate sizes give a plain rectangle, never a negative one.
        QCOMPARE(RoundRegionRects(1, 1), QList<QRect>{QRect(0, 0, 2, 2)});
        QCOMPARE(RoundRegionRects(-5, 0), QList<QRect>{QRect(0, 0, 0, 1)});
    }
};

QTEST_GUILESS_MAIN(TestFrameGeometry)
#include "tst_framegeometry.moc"
