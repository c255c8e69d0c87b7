#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include "player/screenshot.h"
#include "support/core/files.h"

// The bitmap encoding of a screenshot; the folder and name rules are covered
// by the window-free test.
class TestUiScreenshot : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savedBitmapReloadsPixelForPixel()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        // An odd width exercises the row padding of the file format.
        QImage image(37, 23, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(x * 7, y * 11, (x * y) % 256));

        const QString path = tmp.filePath(QStringLiteral("桌面/植物大战/537.bmp"));
        QVERIFY(SaveBitmap(image, path));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(2), QByteArray("BM"));
        file.close();
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("bmp"));
        const QImage loaded = reader.read().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(loaded.size(), image.size());
        QCOMPARE(loaded, image);
    }

    void failuresAreReported()
    {
        QTemporaryDir tmp;
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString blocker = tmp.filePath(QStringLiteral("plain"));
        QVERIFY(WriteFile(blocker, QByteArray()));
        QVERIFY(!SaveBitmap(image, blocker + QStringLiteral("/游戏/123.bmp")));
        QVERIFY(!SaveBitmap(QImage(), tmp.filePath(QStringLiteral("g/1.bmp"))));
        QVERIFY(!QFileInfo::exists(tmp.filePath(QStringLiteral("g/1.bmp"))));
    }
};

QTEST_GUILESS_MAIN(TestUiScreenshot)
#include "tst_ui_screenshot.moc"
