#include "indexedbmp.h"

#include <QHash>
#include <QList>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <vector>

namespace
{
constexpr int PALETTE_SIZE = 256;
// A colour covering at least this many pixels is kept exactly.
constexpr int KEEP_EXACT_MIN_PIXELS = 6;
constexpr int KEEP_EXACT_MAX = 176;

struct Entry
{
    QRgb rgb;
    int count;
};

int channel(QRgb c, int axis)
{
    return axis == 0 ? qRed(c) : axis == 1 ? qGreen(c) : qBlue(c);
}

QRgb average(const std::vector<Entry> &box)
{
    qint64 r = 0, g = 0, b = 0, n = 0;
    for (const Entry &e : box) {
        r += qint64(qRed(e.rgb)) * e.count;
        g += qint64(qGreen(e.rgb)) * e.count;
        b += qint64(qBlue(e.rgb)) * e.count;
        n += e.count;
    }
    return qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
}

// Median cut over the colours that are not kept exactly.
QList<QRgb> medianCut(std::vector<Entry> pool, int boxes)
{
    QList<QRgb> result;
    if (pool.empty() || boxes <= 0)
        return result;
    std::vector<std::vector<Entry>> queue{std::move(pool)};
    while (int(queue.size()) < boxes) {
        // Split the box with the widest channel range (weighted by its size).
        int best = -1, bestAxis = 0;
        qint64 bestScore = 0;
        for (int i = 0; i < int(queue.size()); ++i) {
            if (queue[i].size() < 2)
                continue;
            for (int axis = 0; axis < 3; ++axis) {
                int lo = 255, hi = 0;
                for (const Entry &e : queue[i]) {
                    lo = std::min(lo, channel(e.rgb, axis));
                    hi = std::max(hi, channel(e.rgb, axis));
                }
                const qint64 score = qint64(hi - lo) * qint64(queue[i].size());
                if (score > bestScore) {
                    bestScore = score;
                    best = i;
                    bestAxis = axis;
                }
            }
        }
        if (best < 0)
            break;
        std::vector<Entry> box = std::move(queue[best]);
        std::sort(box.begin(), box.end(), [bestAxis](const Entry &a, const Entry &b) {
            return channel(a.rgb, bestAxis) < channel(b.rgb, bestAxis);
        });
        const auto mid = box.begin() + qsizetype(box.size() / 2);
        queue[best] = std::vector<Entry>(box.begin(), mid);
        queue.emplace_back(mid, box.end());
    }
    for (const auto &box : queue)
        result.append(average(box));
    return result;
}

int nearest(const QList<QRgb> &palette, QRgb c)
{
    int best = 0;
    int bestDist = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(c) - qRed(palette[i]);
        const int dg = qGreen(c) - qGreen(palette[i]);
        const int db = qBlue(c) - qBlue(palette[i]);
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

void put16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}
} // namespace

QImage IndexedBmp::toIndexed8(const QImage &image)
{
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> histogram;
    for (int y = 0; y < src.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        for (int x = 0; x < src.width(); ++x)
            ++histogram[line[x] | 0xff000000u];
    }
    std::vector<Entry> entries;
    entries.reserve(histogram.size());
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        entries.push_back({it.key(), it.value()});
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.count != b.count ? a.count > b.count : a.rgb < b.rgb;
    });

    QList<QRgb> palette;
    if (int(entries.size()) <= PALETTE_SIZE) {
        for (const Entry &e : entries)
            palette.append(e.rgb);
    } else {
        std::vector<Entry> pool;
        for (const Entry &e : entries) {
            if (e.count >= KEEP_EXACT_MIN_PIXELS && palette.size() < KEEP_EXACT_MAX)
                palette.append(e.rgb);
            else
                pool.push_back(e);
        }
        palette.append(medianCut(std::move(pool), PALETTE_SIZE - int(palette.size())));
    }
    while (palette.size() < PALETTE_SIZE)
        palette.append(qRgb(0, 0, 0));

    QHash<QRgb, int> index;
    for (int i = palette.size() - 1; i >= 0; --i)
        index.insert(palette[i], i);

    QImage out(src.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    for (int y = 0; y < src.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(src.constScanLine(y));
        uchar *dst = out.scanLine(y);
        for (int x = 0; x < src.width(); ++x) {
            const QRgb c = line[x] | 0xff000000u;
            auto it = index.constFind(c);
            if (it == index.cend())
                it = index.insert(c, nearest(palette, c));
            dst[x] = uchar(it.value());
        }
    }
    return out;
}

QByteArray IndexedBmp::encode(const QImage &indexed8)
{
    Q_ASSERT(indexed8.format() == QImage::Format_Indexed8);
    const int w = indexed8.width();
    const int h = indexed8.height();
    const int stride = (w + 3) & ~3;
    const quint32 headers = 14 + 40 + PALETTE_SIZE * 4;
    const quint32 imageBytes = quint32(stride) * quint32(h);

    QByteArray out;
    out.reserve(int(headers + imageBytes));
    out.append("BM", 2);
    put32(out, headers + imageBytes);
    put32(out, 0); // reserved
    put32(out, headers);

    put32(out, 40);
    put32(out, quint32(w));
    put32(out, quint32(h)); // positive height: rows run bottom-up
    put16(out, 1);          // planes
    put16(out, 8);          // bits per pixel
    put32(out, 0);          // BI_RGB
    put32(out, imageBytes);
    put32(out, 3780); // 96 dpi in pixels per metre
    put32(out, 3780);
    put32(out, PALETTE_SIZE);
    put32(out, 0);

    const QList<QRgb> table = indexed8.colorTable();
    for (int i = 0; i < PALETTE_SIZE; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        const char quad[4] = {char(qBlue(c)), char(qGreen(c)), char(qRed(c)), 0};
        out.append(quad, 4);
    }
    const QByteArray padding(stride - w, '\0');
    for (int y = h - 1; y >= 0; --y) {
        out.append(reinterpret_cast<const char *>(indexed8.constScanLine(y)), w);
        out.append(padding);
    }
    return out;
}
