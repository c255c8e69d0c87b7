#include "skinsheet.h"

#include "resources/gui/skinframe.h"
#include "resources/gui/skinresources.h"
#include "resources/skinrects.h"

#include <QFont>
#include <QPainter>

namespace
{
QFont labelFont(int px)
{
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(px);
    return f;
}

// Plain copy of a rectangle of a strip, as the program does with its buttons.
void blit(QPainter &p, int x, int y, const QImage &strip, const QRect &src)
{
    p.drawImage(QPoint(x, y), strip, src);
}

enum class Mock { Portal, Game, FullScreen };

QImage mockup(const QList<QImage> &s, Mock mode)
{
    using namespace SkinRects;
    const int W = 740, H = 521;
    QImage img = SkinFrameImage(s[Strip::Frame], QSize(W, H), TAB_BAR_ROWS);
    QPainter p(&img);

    p.setFont(labelFont(12));
    p.setPen(QColor::fromRgb(SkinColors::TitleText));
    p.drawText(QPoint(28, 7 + 12), QStringLiteral("Kavo游戏盒"));

    const bool full = mode == Mock::FullScreen;
    // caption buttons, right to left
    const int close = W - 38, max = close - 24, min = max - 24, menu = min - 24, pin = menu - 22;
    const QImage &captionButtons = s[Strip::CaptionButtons];
    blit(p, close, 5, s[mode == Mock::Portal ? Strip::CaptionButtonsHover : Strip::CaptionButtons], CAPTION_CLOSE);
    if (full)
        blit(p, max, 5, s[Strip::Restore], RESTORE);
    else
        blit(p, max, 5, captionButtons, CAPTION_MAXIMISE);
    blit(p, min, 5, captionButtons, CAPTION_MINIMISE);
    blit(p, menu, 5, s[mode == Mock::Game ? Strip::CaptionButtonsHover : Strip::CaptionButtons], CAPTION_MENU);
    blit(p, pin, 5, s[Strip::OnTop], mode == Mock::Game ? ON_TOP_ON : ON_TOP_OFF);

    // tabs
    const int selected = mode == Mock::Portal ? 0 : 1;
    for (int i = 0; i < 5; ++i) {
        const Strip::Index strip = i == selected                      ? Strip::TabsSelected
                                   : (mode == Mock::Portal && i == 3) ? Strip::TabsHover
                                                                      : Strip::Tabs;
        blit(p, 10 + 77 * i, 30, s[strip], Tab(i));
    }
    p.fillRect(QRect(W - 270, 31, 250, 60), QColor(0xfa, 0xfc, 0xff));
    p.setPen(QColor(0x9a, 0xa8, 0xb8));
    p.drawText(QRect(W - 270, 31, 250, 60), Qt::AlignCenter, QStringLiteral("广告"));

    p.setPen(QColor::fromRgb(SkinColors::PanelText));
    p.drawText(QPoint(20, H - 20 + 12), QStringLiteral("老板键 Ctrl+S"));

    if (mode == Mock::Portal) {
        p.fillRect(QRect(4, 96, W - 8, H - 124), Qt::white);
        p.setPen(QColor(0x60, 0x70, 0x80));
        p.drawText(QRect(4, 96, W - 8, H - 124), Qt::AlignCenter, QStringLiteral("游戏首页"));
        return img;
    }
    const QRect page = full ? QRect(4, 30, W - 8, H - 34) : QRect(4, 96, W - 8, H - 100);
    p.translate(page.topLeft());
    const int w = page.width(), h = page.height();
    p.fillRect(QRect(0, 0, w, h), QColor::fromRgb(SkinColors::Body));
    p.fillRect(QRect(0, 0, w, 25), QColor::fromRgb(SkinColors::TitleStrip));
    p.setPen(QColor::fromRgb(SkinColors::PanelText));
    p.drawText(QRect(10, 0, 300, 25), Qt::AlignVCenter, QStringLiteral("正在玩：泡泡龙"));
    if (full) {
        blit(p, w - 80, 3, s[Strip::LeaveFullScreen], LEAVE_FULL_SCREEN);
        p.fillRect(QRect(0, 25, w, h - 25), QColor(0x20, 0x20, 0x28));
        return img;
    }
    p.fillRect(QRect(w - 168, 25, 168, h - 25), Qt::white);
    const int fw = w - 172, fh = h - 25;
    p.fillRect(QRect(0, 25, fw, fh - 35), QColor(0x20, 0x20, 0x28));
    p.translate(0, 25 + fh - 35);
    p.fillRect(QRect(0, 0, fw, 35), QColor::fromRgb(SkinColors::Toolbar));
    // stop, reload, unmute hovered, favourite hovered, screenshot, download, full screen
    blit(p, 30, 7, s[Strip::StopMute], STOP);
    blit(p, 85, 7, s[Strip::Tools], ToolFrame(0));
    blit(p, 140, 7, s[Strip::StopMute], Hover(UNMUTE));
    blit(p, 195, 7, s[Strip::ToolsHover], ToolFrame(1));
    for (int k = 2; k < 5; ++k)
        blit(p, 250 + 55 * (k - 2), 7, s[Strip::Tools], ToolFrame(k));
    blit(p, fw - 35, 7, s[Strip::SidePanel], SIDE_PANEL_SHOWN);
    return img;
}
} // namespace

QImage SkinSheet::contactSheet(const QList<QImage> &strips)
{
    const int scale = 2, pad = 12, labelH = 18;
    int width = 0, height = pad;
    for (const QImage &s : strips) {
        width = std::max(width, s.width() * scale + 2 * pad);
        height += labelH + s.height() * scale + pad;
    }
    QImage sheet(std::max(width, 300), height, QImage::Format_RGB32);
    sheet.fill(QColor(0x80, 0x80, 0x80));
    QPainter p(&sheet);
    p.setFont(labelFont(13));
    p.setPen(Qt::white);
    int y = pad;
    for (int i = 0; i < strips.size(); ++i) {
        const QImage &s = strips[i];
        p.drawText(QPoint(pad, y + 13), QStringLiteral("%1  (%2 x %3)").arg(101 + i).arg(s.width()).arg(s.height()));
        y += labelH;
        p.drawImage(QRect(pad, y, s.width() * scale, s.height() * scale), s);
        y += s.height() * scale + pad;
    }
    return sheet;
}

QImage SkinSheet::windowMockups(const QList<QImage> &strips)
{
    const QImage a = mockup(strips, Mock::Portal);
    const QImage b = mockup(strips, Mock::Game);
    const QImage c = mockup(strips, Mock::FullScreen);
    QImage all(a.width() * 3 + 40, a.height() + 20, QImage::Format_RGB32);
    all.fill(QColor(0x50, 0x50, 0x50));
    QPainter p(&all);
    p.drawImage(10, 10, a);
    p.drawImage(a.width() + 20, 10, b);
    p.drawImage(2 * a.width() + 30, 10, c);
    return all;
}
