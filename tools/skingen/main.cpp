// skingen: draws the window skin and writes it as 256-colour bitmaps named by
// resource id (101.bmp .. 113.bmp) into the folder given on the command line,
// with the promotion windows' close pictures (adsb_close.bmp, ba4_close.bmp).
//
//   skingen <output folder> [--icons <folder>] [--sheet <png>] [--mock <png>]
//
// --icons writes the application icon as <size>.png for every size the
// desktop's icon theme gets (16 .. 256 pixels).
// --sheet and --mock write review pictures made from the files just written:
// every bitmap at twice its size, and the main window assembled from them.

#include "common/safefile.h"
#include "indexedbmp.h"
#include "skinart.h"
#include "skinsheet.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

namespace
{
bool writeIcons(const QDir &out, QTextStream &err)
{
    if (!QDir().mkpath(out.path())) {
        err << "skingen: cannot create " << out.path() << '\n';
        return false;
    }
    for (const int size : SkinArt::ICON_SIZES) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        const QString path = out.filePath(QStringLiteral("%1.png").arg(size));
        if (!SkinArt::appIcon(size).save(&buffer, "PNG") || !SafeFile::writeWhole(path, png)) {
            err << "skingen: cannot write " << path << '\n';
            return false;
        }
    }
    return true;
}
}

int main(int argc, char **argv)
{
    // A build step has no display; text is still drawn through fontconfig.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("folder for 101.bmp .. 113.bmp"));
    const QCommandLineOption sheetOption(QStringLiteral("sheet"), QStringLiteral("contact sheet"), QStringLiteral("png"));
    const QCommandLineOption mockOption(QStringLiteral("mock"), QStringLiteral("window mock-ups"), QStringLiteral("png"));
    const QCommandLineOption iconsOption(QStringLiteral("icons"), QStringLiteral("folder for the application icons"),
                                         QStringLiteral("folder"));
    parser.addOption(iconsOption);
    parser.addOption(sheetOption);
    parser.addOption(mockOption);
    parser.addHelpOption();
    parser.process(app);
    QTextStream err(stderr);
    if (parser.positionalArguments().size() != 1) {
        err << parser.helpText();
        return 2;
    }
    const QDir out(parser.positionalArguments().constFirst());
    if (!QDir().mkpath(out.path())) {
        err << "skingen: cannot create " << out.path() << '\n';
        return 1;
    }

    const QList<QImage> art = SkinArt::drawAll();
    QList<QImage> written;
    for (int i = 0; i < art.size(); ++i) {
        const QString path = out.filePath(QStringLiteral("%1.bmp").arg(101 + i));
        if (!SafeFile::writeWhole(path, IndexedBmp::encode(IndexedBmp::toIndexed8(art[i])))) {
            err << "skingen: cannot write " << path << '\n';
            return 1;
        }
        written.append(QImage(path, "BMP").convertToFormat(QImage::Format_RGB32));
    }
    for (const SkinArt::NamedImage &picture : SkinArt::drawPromotionCloses()) {
        const QString path = out.filePath(picture.name + QStringLiteral(".bmp"));
        if (!SafeFile::writeWhole(path, IndexedBmp::encode(IndexedBmp::toIndexed8(picture.image)))) {
            err << "skingen: cannot write " << path << '\n';
            return 1;
        }
    }
    if (parser.isSet(iconsOption) && !writeIcons(QDir(parser.value(iconsOption)), err))
        return 1;
    if (parser.isSet(sheetOption) && !SkinSheet::contactSheet(written).save(parser.value(sheetOption)))
        err << "skingen: cannot write " << parser.value(sheetOption) << '\n';
    if (parser.isSet(mockOption) && !SkinSheet::windowMockups(written).save(parser.value(mockOption)))
        err << "skingen: cannot write " << parser.value(mockOption) << '\n';
    return 0;
}
