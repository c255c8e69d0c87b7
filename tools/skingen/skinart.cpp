#include "skinart.h"

#include "resources/gui/skinresources.h"
#include "resources/skincaptions.h"
#include "resources/skinrects.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>

using namespace SkinRects;

namespace
{
const QString FONT_FAMILY = QStringLiteral("Noto Sans CJK SC");

const QColor BORDER(0x17, 0x4e, 0x92);
const QColor BODY = QColor::fromRgb(SkinColors::Body);
const QColor TOOLBAR = QColor::fromRgb(SkinColors::Toolbar);
const QColor TITLE_STRIP = QColor::fromRgb(SkinColors::TitleStrip);
const QColor PANEL_TEXT = QColor::fromRgb(SkinColors::PanelText);
const QColor ICON_BLUE(0x24, 0x66, 0xc2);
const QColor ACCENT_TEXT(0x17, 0x52, 0xa3);
const QColor SELECTED_TAB_TEXT(0x15, 0x4a, 0x8c);
const QColor CLOSE_RED(0xe2, 0x47, 0x42);
const QColor PIN_ACTIVE(0xff, 0xd8, 0x5a);

// Rows of the frame's blue top band that the caption buttons and the tabs sit on.
constexpr int CAPTION_BUTTON_TOP = 5;
constexpr int TAB_TOP = 30;
constexpr int TOP_BAND_BLUE_END = 92; // last blue row; the rows below are body colour

QColor mix(const QColor &a, const QColor &b, double t)
{
    auto lerp = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()));
}

// Colour of row y of the frame's top band. Every picture that sits on the band
// fills its background with the same rows so that it joins the frame exactly.
QColor topBandColor(int y)
{
    if (y <= 0)
        return BORDER;
    if (y == 1)
        return QColor(0x79, 0xb6, 0xf2);
    if (y > TOP_BAND_BLUE_END)
        return BODY;
    const QColor top(0x44, 0x97, 0xea), middle(0x2d, 0x80, 0xda), bottom(0x1c, 0x5f, 0xb4);
    if (y <= 28)
        return mix(top, middle, (y - 2) / 26.0);
    return mix(middle, bottom, (y - 28) / double(TOP_BAND_BLUE_END - 28));
}

QImage canvas(int w, int h, const QColor &fill)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void fillTopBand(QPainter &p, const QRect &r, int bandRow)
{
    for (int y = 0; y < r.height(); ++y)
        p.fillRect(QRect(r.left(), r.top() + y, r.width(), 1), topBandColor(bandRow + y));
}

QFont uiFont(int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont font(FONT_FAMILY);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void drawCaption(QPainter &p, const QRectF &r, const QString &text, const QColor &color, int pixelSize,
                 QFont::Weight weight = QFont::Normal)
{
    p.setFont(uiFont(pixelSize, weight));
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

QPainterPath roundedTopRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.moveTo(r.left(), r.bottom());
    path.lineTo(r.left(), r.top() + radius);
    path.arcTo(QRectF(r.left(), r.top(), 2 * radius, 2 * radius), 180, -90);
    path.lineTo(r.right() - radius, r.top());
    path.arcTo(QRectF(r.right() - 2 * radius, r.top(), 2 * radius, 2 * radius), 90, -90);
    path.lineTo(r.right(), r.bottom());
    path.closeSubpath();
    return path;
}

QPainterPath star(QPointF c, qreal outer, qreal inner)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal a = M_PI / 2 + i * M_PI / 5;
        const qreal r = (i % 2) ? inner : outer;
        const QPointF pt(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

QPainterPath stroked(const QPainterPath &path, qreal width, Qt::PenCapStyle cap = Qt::RoundCap)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path).simplified();
}

// ---- the application icon in the caption bar --------------------------------

QPainterPath gamepadPath(); // 32 x 32 design box

// Drawn for the caption bar at 17 x 17; larger squares scale the outline, the
// corners and the margins with it.
void drawAppIcon(QPainter &p, const QRectF &r)
{
    const qreal unit = r.width() / 17.0;
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0xff, 0xbe, 0x45));
    g.setColorAt(1, QColor(0xf0, 0x82, 0x16));
    const qreal pen = std::max<qreal>(1, std::round(unit));
    p.setPen(QPen(QColor(0xc2, 0x62, 0x0a), pen));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2), 3.5 * unit, 3.5 * unit);
    QTransform t;
    t.translate(r.left() + 2 * unit, r.top() + 2.5 * unit);
    t.scale((r.width() - 4 * unit) / 32.0, (r.width() - 4 * unit) / 32.0);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(t.map(gamepadPath()));
}

// ---- tab icons, 32 x 32 design box -------------------------------------------

QPainterPath homePath()
{
    QPainterPath roof;
    roof.moveTo(16, 3);
    roof.lineTo(30.5, 16);
    roof.lineTo(28, 18.5);
    roof.lineTo(16, 8);
    roof.lineTo(4, 18.5);
    roof.lineTo(1.5, 16);
    roof.closeSubpath();
    QPainterPath body;
    body.moveTo(7, 16);
    body.lineTo(16, 8.5);
    body.lineTo(25, 16);
    body.lineTo(25, 29);
    body.lineTo(7, 29);
    body.closeSubpath();
    QPainterPath door;
    door.addRoundedRect(QRectF(13, 20, 6, 9.5), 1, 1);
    QPainterPath chimney;
    chimney.addRect(QRectF(21.5, 5, 3.5, 7));
    return roof.united(body).united(chimney).subtracted(door);
}

QPainterPath gamepadPath()
{
    QPainterPath body;
    body.addRoundedRect(QRectF(2, 8, 28, 15), 7.5, 7.5);
    QPainterPath grips;
    grips.addEllipse(QRectF(1.5, 12, 11, 15));
    grips.addEllipse(QRectF(19.5, 12, 11, 15));
    QPainterPath pad = body.united(grips);
    QPainterPath holes;
    holes.addRect(QRectF(6, 14.25, 8, 2.5));
    holes.addRect(QRectF(8.75, 11.5, 2.5, 8));
    QPainterPath buttons;
    buttons.addEllipse(QPointF(21.5, 13.5), 1.9, 1.9);
    buttons.addEllipse(QPointF(25, 17), 1.9, 1.9);
    buttons.addEllipse(QPointF(18, 17), 1.9, 1.9);
    buttons.addEllipse(QPointF(21.5, 20.5), 1.9, 1.9);
    return pad.subtracted(holes.united(buttons));
}

QPainterPath folderStarPath()
{
    QPainterPath folder;
    folder.moveTo(2.5, 8);
    folder.quadTo(2.5, 5.5, 5, 5.5);
    folder.lineTo(11.5, 5.5);
    folder.lineTo(14, 8.5);
    folder.lineTo(27, 8.5);
    folder.quadTo(29.5, 8.5, 29.5, 11);
    folder.lineTo(29.5, 26);
    folder.quadTo(29.5, 28.5, 27, 28.5);
    folder.lineTo(5, 28.5);
    folder.quadTo(2.5, 28.5, 2.5, 26);
    folder.closeSubpath();
    return folder.subtracted(star(QPointF(16, 19), 7, 3));
}

QPainterPath globePath()
{
    QPainterPath lines;
    lines.addEllipse(QPointF(16, 16), 12.5, 12.5);
    lines.addEllipse(QPointF(16, 16), 5.5, 12.5);
    lines.moveTo(16, 3.5);
    lines.lineTo(16, 28.5);
    lines.moveTo(3.5, 16);
    lines.lineTo(28.5, 16);
    lines.moveTo(6, 9.5);
    lines.lineTo(26, 9.5);
    lines.moveTo(6, 22.5);
    lines.lineTo(26, 22.5);
    return stroked(lines, 2.1);
}

QPainterPath monitorPath()
{
    QPainterPath screen;
    screen.addRoundedRect(QRectF(2, 4, 28, 19.5), 2.5, 2.5);
    QPainterPath glass;
    glass.addRect(QRectF(4.5, 6.5, 23, 14.5));
    QPainterPath play;
    play.moveTo(13, 9);
    play.lineTo(21, 13.75);
    play.lineTo(13, 18.5);
    play.closeSubpath();
    QPainterPath stand;
    stand.addRect(QRectF(13.5, 23, 5, 3.5));
    stand.addRoundedRect(QRectF(8.5, 26, 15, 3), 1.2, 1.2);
    return screen.subtracted(glass).united(play).united(stand);
}

enum class Tab { Home, Playing, Mine, WebGames, PcGames };

QPainterPath tabIcon(Tab tab)
{
    switch (tab) {
    case Tab::Home:
        return homePath();
    case Tab::Playing:
        return gamepadPath();
    case Tab::Mine:
        return folderStarPath();
    case Tab::WebGames:
        return globePath();
    case Tab::PcGames:
        return monitorPath();
    }
    return {};
}

const char *tabTitle(Tab tab)
{
    return SkinCaptions::TABS[static_cast<int>(tab)];
}

enum class State { Normal, Hover, Selected };

void drawTab(QPainter &p, const QRect &r, Tab tab, State state)
{
    fillTopBand(p, r, TAB_TOP);
    const QRectF card(r.left() + 3, r.top() + 3, r.width() - 6, r.height() - 3);
    if (state == State::Selected) {
        QLinearGradient g(card.topLeft(), card.bottomLeft());
        g.setColorAt(0, QColor(0xff, 0xff, 0xff));
        g.setColorAt(0.55, QColor(0xf3, 0xf7, 0xfc));
        g.setColorAt(1, BODY);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(roundedTopRect(card, 5));
    } else if (state == State::Hover) {
        QLinearGradient g(card.topLeft(), card.bottomLeft());
        g.setColorAt(0, QColor(255, 255, 255, 90));
        g.setColorAt(1, QColor(255, 255, 255, 30));
        p.setBrush(g);
        p.setPen(QPen(QColor(255, 255, 255, 130), 1));
        p.drawPath(roundedTopRect(card.adjusted(0.5, 0.5, -0.5, 0.5), 5));
    }

    QTransform t;
    t.translate(r.left() + 22.5, r.top() + 8);
    const QPainterPath icon = t.map(tabIcon(tab));
    p.setPen(Qt::NoPen);
    if (state == State::Selected) {
        QLinearGradient g(icon.boundingRect().topLeft(), icon.boundingRect().bottomLeft());
        g.setColorAt(0, QColor(0x3a, 0x8c, 0xe8));
        g.setColorAt(1, QColor(0x18, 0x5c, 0xbc));
        p.setBrush(g);
    } else {
        p.setBrush(QColor(0, 0x26, 0x66, 70));
        p.drawPath(icon.translated(0, 1));
        p.setBrush(Qt::white);
    }
    p.drawPath(icon);

    const QRectF textBox(r.left(), r.top() + 43, r.width(), 16);
    if (state == State::Selected) {
        drawCaption(p, textBox, QString::fromUtf8(tabTitle(tab)), SELECTED_TAB_TEXT, 12, QFont::Bold);
    } else {
        drawCaption(p, textBox.translated(0, 1), QString::fromUtf8(tabTitle(tab)), QColor(0, 0x26, 0x66, 80), 12);
        drawCaption(p, textBox, QString::fromUtf8(tabTitle(tab)), Qt::white, 12);
    }
}

QImage tabStrip(State state)
{
    QImage image = canvas(SkinRects::TAB_STRIP.width(), SkinRects::TAB_STRIP.height(), BODY);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const Tab tabs[] = {Tab::Home, Tab::Playing, Tab::Mine, Tab::WebGames, Tab::PcGames};
    for (int i = 0; i < 5; ++i)
        drawTab(p, SkinRects::Tab(i), tabs[i], state);
    return image;
}

// ---- caption buttons ------------------------------------------------------------

enum class Glyph { Minimise, Maximise, Restore, Close, Menu, Pin, Unpin };

// A caption button: the caption bar rows behind it, a soft light box (red for
// close) when hovered, and a white glyph. Rectangles are in strip pixels.
void drawCaptionButton(QPainter &p, const QRect &r, Glyph glyph, bool hover)
{
    fillTopBand(p, r, CAPTION_BUTTON_TOP);
    if (hover) {
        p.setPen(Qt::NoPen);
        if (glyph == Glyph::Close) {
            QLinearGradient g(r.topLeft(), r.bottomLeft());
            g.setColorAt(0, QColor(0xf0, 0x6a, 0x62));
            g.setColorAt(1, CLOSE_RED);
            p.setBrush(g);
        } else {
            p.setBrush(QColor(255, 255, 255, 70));
        }
        p.drawRoundedRect(QRectF(r).adjusted(1, 1, -1, -1), 3, 3);
    }
    const int x = r.left();
    const int y = r.top();
    const QColor ink = Qt::white;
    switch (glyph) {
    case Glyph::Minimise:
        p.fillRect(x + 7, y + 11, 10, 2, ink);
        break;
    case Glyph::Maximise:
        p.fillRect(x + 7, y + 5, 10, 2, ink);
        p.fillRect(x + 7, y + 5, 1, 9, ink);
        p.fillRect(x + 16, y + 5, 1, 9, ink);
        p.fillRect(x + 7, y + 13, 10, 1, ink);
        break;
    case Glyph::Restore:
        // back window, only where the front one does not cover it
        p.fillRect(x + 10, y + 4, 8, 2, ink);
        p.fillRect(x + 17, y + 4, 1, 8, ink);
        p.fillRect(x + 10, y + 4, 1, 3, ink);
        p.fillRect(x + 16, y + 11, 1, 1, ink);
        // front window
        p.fillRect(x + 6, y + 7, 9, 2, ink);
        p.fillRect(x + 6, y + 7, 1, 8, ink);
        p.fillRect(x + 14, y + 7, 1, 8, ink);
        p.fillRect(x + 6, y + 14, 9, 1, ink);
        break;
    case Glyph::Close: {
        const QPointF c(x + r.width() / 2.0, y + 9.5);
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(c + QPointF(-4.5, -4.5), c + QPointF(4.5, 4.5));
        p.drawLine(c + QPointF(4.5, -4.5), c + QPointF(-4.5, 4.5));
        break;
    }
    case Glyph::Menu:
        p.fillRect(x + 7, y + 5, 10, 2, ink);
        p.fillRect(x + 7, y + 9, 10, 2, ink);
        p.fillRect(x + 7, y + 13, 10, 2, ink);
        break;
    case Glyph::Pin:
    case Glyph::Unpin: {
        // A push pin: leaning over while the window floats freely, pressed in
        // upright while it is kept on top.
        QPainterPath pin;
        pin.addRoundedRect(QRectF(-3.5, -7, 7, 2.2), 0.8, 0.8);
        pin.addRect(QRectF(-2.2, -5, 4.4, 5));
        pin.addRoundedRect(QRectF(-5, -0.5, 10, 2.2), 0.8, 0.8);
        pin.addRect(QRectF(-0.6, 1.5, 1.2, 5.5));
        QTransform t;
        t.translate(x + r.width() / 2.0, y + 9.5);
        if (glyph == Glyph::Pin)
            t.rotate(45);
        p.setPen(Qt::NoPen);
        p.setBrush(glyph == Glyph::Pin ? ink : PIN_ACTIVE);
        p.drawPath(t.map(pin.simplified()));
        break;
    }
    }
}

QImage captionStrip(bool hover)
{
    QImage image = canvas(CAPTION_STRIP.width(), CAPTION_STRIP.height(), BODY);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawCaptionButton(p, CAPTION_PIN, Glyph::Pin, hover);
    drawCaptionButton(p, CAPTION_MENU, Glyph::Menu, hover);
    drawCaptionButton(p, CAPTION_MINIMISE, Glyph::Minimise, hover);
    drawCaptionButton(p, CAPTION_MAXIMISE, Glyph::Maximise, hover);
    drawCaptionButton(p, CAPTION_CLOSE, Glyph::Close, hover);
    return image;
}

QImage restoreStrip()
{
    QImage image = canvas(RESTORE_STRIP.width(), RESTORE_STRIP.height(), BODY);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawCaptionButton(p, RESTORE, Glyph::Restore, false);
    drawCaptionButton(p, Hover(RESTORE), Glyph::Restore, true);
    return image;
}

QImage pinStrip()
{
    QImage image = canvas(ON_TOP_STRIP.width(), ON_TOP_STRIP.height(), BODY);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawCaptionButton(p, ON_TOP_OFF, Glyph::Pin, false);
    drawCaptionButton(p, Hover(ON_TOP_OFF), Glyph::Pin, true);
    drawCaptionButton(p, ON_TOP_ON, Glyph::Unpin, false);
    drawCaptionButton(p, Hover(ON_TOP_ON), Glyph::Unpin, true);
    return image;
}

// ---- close pictures of the promotion windows ------------------------------------

// 11 x 11: a dark square with a white cross, readable on any promotion page.
QImage floatingClose()
{
    QImage image = canvas(11, 11, QColor(0x3c, 0x3f, 0x46));
    QPainter p(&image);
    p.setPen(QColor(0x8a, 0x90, 0x9c));
    p.drawRect(0, 0, 10, 10);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(3, 3), QPointF(8, 8));
    p.drawLine(QPointF(8, 3), QPointF(3, 8));
    return image;
}

// 51 x 21: a small dark button "关闭" with a cross.
QImage recommendationClose()
{
    QImage image = canvas(51, 21, QColor(0xc2, 0x25, 0x5c));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 160), 1));
    p.setBrush(QColor(0x3c, 0x3f, 0x46));
    p.drawRoundedRect(QRectF(0.5, 0.5, 50, 20), 4, 4);
    p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(6, 7), QPointF(13, 14));
    p.drawLine(QPointF(13, 7), QPointF(6, 14));
    drawCaption(p, QRectF(16, 0, 33, 21), QStringLiteral("关闭"), Qt::white, 12);
    return image;
}

// ---- the window frame --------------------------------------------------------------

QImage frame()
{
    QImage image = canvas(FRAME_STRIP.width(), FRAME_STRIP.height(), BODY);
    QPainter p(&image);
    fillTopBand(p, QRect(0, 0, FRAME_STRIP.width(), TAB_BAR_ROWS), 0);
    p.fillRect(0, 0, 1, 133, BORDER);
    p.fillRect(99, 0, 1, 133, BORDER);
    p.fillRect(0, 132, 100, 1, BORDER);
    // The window is cut with small rounded corners; close the outline there.
    for (const QPoint &pt : {QPoint(1, 1), QPoint(98, 1), QPoint(1, 131), QPoint(98, 131)})
        p.fillRect(QRect(pt, QSize(1, 1)), BORDER);
    // a faint highlight along the inner edge of the sides
    p.fillRect(1, 2, 1, 91, QColor(255, 255, 255, 40));
    p.setRenderHint(QPainter::Antialiasing);
    drawAppIcon(p, QRectF(7, 5, 17, 17));
    return image;
}

// ---- game toolbar ------------------------------------------------------------------

enum class Tool { Pause, Play, Reload, Sound, Muted, Favourite, Screenshot, Download, FullScreen };

QPainterPath toolIcon(Tool tool) // 16 x 16 design box
{
    QPainterPath path;
    switch (tool) {
    case Tool::Pause:
        path.addRoundedRect(QRectF(3.5, 2.5, 3.5, 11), 0.8, 0.8);
        path.addRoundedRect(QRectF(9, 2.5, 3.5, 11), 0.8, 0.8);
        return path;
    case Tool::Play:
        path.moveTo(4.5, 2);
        path.lineTo(13.5, 8);
        path.lineTo(4.5, 14);
        path.closeSubpath();
        return path;
    case Tool::Reload: {
        QPainterPath arc;
        arc.arcMoveTo(QRectF(2.5, 2.5, 11, 11), 70);
        arc.arcTo(QRectF(2.5, 2.5, 11, 11), 70, 290);
        path = stroked(arc, 1.9, Qt::FlatCap);
        QPainterPath head;
        head.moveTo(8.2, 0.2);
        head.lineTo(13.2, 3.0);
        head.lineTo(8.6, 6.6);
        head.closeSubpath();
        return path.united(head);
    }
    case Tool::Sound:
    case Tool::Muted: {
        path.moveTo(1.5, 5.5);
        path.lineTo(4.5, 5.5);
        path.lineTo(8.5, 2);
        path.lineTo(8.5, 14);
        path.lineTo(4.5, 10.5);
        path.lineTo(1.5, 10.5);
        path.closeSubpath();
        QPainterPath marks;
        if (tool == Tool::Sound) {
            marks.arcMoveTo(QRectF(6, 5, 6, 6), -50);
            marks.arcTo(QRectF(6, 5, 6, 6), -50, 100);
            marks.arcMoveTo(QRectF(4, 2, 12, 12), -50);
            marks.arcTo(QRectF(4, 2, 12, 12), -50, 100);
        } else {
            marks.moveTo(10.5, 5.5);
            marks.lineTo(15, 10.5);
            marks.moveTo(15, 5.5);
            marks.lineTo(10.5, 10.5);
        }
        return path.united(stroked(marks, 1.5));
    }
    case Tool::Favourite:
        return star(QPointF(8, 8.6), 7.6, 3.2);
    case Tool::Screenshot: {
        path.addRoundedRect(QRectF(1, 4.5, 14, 10), 2, 2);
        path.addRoundedRect(QRectF(5, 2.5, 6, 3), 1, 1);
        QPainterPath lens;
        lens.addEllipse(QPointF(8, 9.5), 3.3, 3.3);
        QPainterPath pupil;
        pupil.addEllipse(QPointF(8, 9.5), 1.6, 1.6);
        return path.simplified().subtracted(lens).united(pupil);
    }
    case Tool::Download: {
        path.addRect(QRectF(7, 1, 2.2, 6.5));
        QPainterPath head;
        head.moveTo(3.6, 6.5);
        head.lineTo(12.6, 6.5);
        head.lineTo(8.1, 11.3);
        head.closeSubpath();
        QPainterPath tray;
        tray.moveTo(1.5, 10);
        tray.lineTo(1.5, 14.2);
        tray.lineTo(14.7, 14.2);
        tray.lineTo(14.7, 10);
        return path.united(head).united(stroked(tray, 1.7, Qt::SquareCap));
    }
    case Tool::FullScreen: {
        QPainterPath corners;
        corners.moveTo(2, 6);
        corners.lineTo(2, 2);
        corners.lineTo(6, 2);
        corners.moveTo(10, 2);
        corners.lineTo(14, 2);
        corners.lineTo(14, 6);
        corners.moveTo(14, 10);
        corners.lineTo(14, 14);
        corners.lineTo(10, 14);
        corners.moveTo(6, 14);
        corners.lineTo(2, 14);
        corners.lineTo(2, 10);
        path = stroked(corners, 1.8, Qt::SquareCap);
        path.addRect(QRectF(6, 6, 4, 4));
        return path.simplified();
    }
    }
    return path;
}

// A light raised box behind the hovered toolbar buttons.
void drawHoverBox(QPainter &p, const QRectF &r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0xff, 0xff, 0xff));
    g.setColorAt(1, QColor(0xd6, 0xe7, 0xfa));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x7f, 0xae, 0xe4), 1));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}

void drawToolButton(QPainter &p, const QRect &r, Tool tool, const char *caption, bool hover)
{
    p.fillRect(r, TOOLBAR);
    if (hover)
        drawHoverBox(p, r);
    // 45 pixels hold a 14-pixel icon and two characters of 12 pixels.
    QTransform t;
    t.translate(r.left() + 3, r.top() + 5.5);
    t.scale(14 / 16.0, 14 / 16.0);
    p.setPen(Qt::NoPen);
    p.setBrush(hover ? ACCENT_TEXT : ICON_BLUE);
    p.drawPath(t.map(toolIcon(tool)));
    drawCaption(p, QRectF(r.left() + 18, r.top(), 25, r.height()), QString::fromUtf8(caption),
                hover ? ACCENT_TEXT : PANEL_TEXT, 12);
}

QImage toolStrip(bool hover)
{
    QImage image = canvas(TOOL_STRIP.width(), TOOL_STRIP.height(), TOOLBAR);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawToolButton(p, ToolFrame(0), Tool::Reload, SkinCaptions::TOOLS[0], hover);
    drawToolButton(p, ToolFrame(1), Tool::Favourite, SkinCaptions::TOOLS[1], hover);
    drawToolButton(p, ToolFrame(2), Tool::Screenshot, SkinCaptions::TOOLS[2], hover);
    drawToolButton(p, ToolFrame(3), Tool::Download, SkinCaptions::TOOLS[3], hover);
    drawToolButton(p, ToolFrame(4), Tool::FullScreen, SkinCaptions::TOOLS[4], hover);
    return image;
}

QImage twoStateToolStrip()
{
    QImage image = canvas(STOP_MUTE_STRIP.width(), STOP_MUTE_STRIP.height(), TOOLBAR);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawToolButton(p, STOP, Tool::Pause, "停止", false);
    drawToolButton(p, Hover(STOP), Tool::Pause, "停止", true);
    drawToolButton(p, CONTINUE, Tool::Play, "继续", false);
    drawToolButton(p, Hover(CONTINUE), Tool::Play, "继续", true);
    drawToolButton(p, MUTE, Tool::Sound, "静音", false);
    drawToolButton(p, Hover(MUTE), Tool::Sound, "静音", true);
    drawToolButton(p, UNMUTE, Tool::Muted, "取消", false);
    drawToolButton(p, Hover(UNMUTE), Tool::Muted, "取消", true);
    return image;
}

// Side panel button: a window with its right-hand panel; the arrow says what a
// click does (push the shown panel out, or pull the hidden one in).
void drawSidePanelButton(QPainter &p, const QRect &r, bool panelShown, bool hover)
{
    p.fillRect(r, TOOLBAR);
    if (hover)
        drawHoverBox(p, r);
    const QColor ink = hover ? ACCENT_TEXT : ICON_BLUE;
    const QRectF box(r.left() + 4.5, r.top() + 5.5, 17, 15);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 1.3));
    p.drawRoundedRect(box, 1.5, 1.5);
    const qreal split = box.left() + 11;
    p.drawLine(QPointF(split, box.top()), QPointF(split, box.bottom()));
    if (panelShown) {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawRect(QRectF(split, box.top(), box.right() - split, box.height()));
    }
    QPainterPath arrow;
    const qreal cx = box.left() + 5.5, cy = box.center().y();
    if (panelShown) {
        arrow.moveTo(cx - 1.8, cy - 3.5);
        arrow.lineTo(cx + 1.8, cy);
        arrow.lineTo(cx - 1.8, cy + 3.5);
    } else {
        arrow.moveTo(cx + 1.8, cy - 3.5);
        arrow.lineTo(cx - 1.8, cy);
        arrow.lineTo(cx + 1.8, cy + 3.5);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(arrow);
}

QImage sidePanelStrip()
{
    QImage image = canvas(SIDE_PANEL_STRIP.width(), SIDE_PANEL_STRIP.height(), TOOLBAR);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawSidePanelButton(p, SIDE_PANEL_SHOWN, true, false);
    drawSidePanelButton(p, Hover(SIDE_PANEL_SHOWN), true, true);
    drawSidePanelButton(p, SIDE_PANEL_HIDDEN, false, false);
    drawSidePanelButton(p, Hover(SIDE_PANEL_HIDDEN), false, true);
    return image;
}

void drawLeaveFullScreen(QPainter &p, const QRect &r, bool hover)
{
    p.fillRect(r, TITLE_STRIP);
    const QRectF box = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    if (hover) {
        g.setColorAt(0, QColor(0x4a, 0x98, 0xea));
        g.setColorAt(1, QColor(0x23, 0x69, 0xc4));
        p.setPen(QPen(QColor(0x1a, 0x56, 0xa8), 1));
    } else {
        g.setColorAt(0, QColor(0xff, 0xff, 0xff));
        g.setColorAt(1, QColor(0xe3, 0xed, 0xf9));
        p.setPen(QPen(QColor(0x6d, 0x9d, 0xd8), 1));
    }
    p.setBrush(g);
    p.drawRoundedRect(box, 3, 3);
    drawCaption(p, QRectF(r), QString::fromUtf8(SkinCaptions::LEAVE_FULL_SCREEN), hover ? Qt::white : ACCENT_TEXT, 11);
}

QImage leaveFullScreenStrip()
{
    QImage image = canvas(LEAVE_FULL_SCREEN_STRIP.width(), LEAVE_FULL_SCREEN_STRIP.height(), TITLE_STRIP);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawLeaveFullScreen(p, LEAVE_FULL_SCREEN, false);
    drawLeaveFullScreen(p, Hover(LEAVE_FULL_SCREEN), true);
    return image;
}
} // namespace

QImage SkinArt::appIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawAppIcon(p, QRectF(0, 0, size, size));
    return image;
}

QList<SkinArt::NamedImage> SkinArt::drawPromotionCloses()
{
    return {{QStringLiteral("adsb_close"), floatingClose()}, {QStringLiteral("ba4_close"), recommendationClose()}};
}

QList<QImage> SkinArt::drawAll()
{
    QList<QImage> strips(Strip::Count);
    strips[Strip::Frame] = frame();
    strips[Strip::CaptionButtons] = captionStrip(false);
    strips[Strip::CaptionButtonsHover] = captionStrip(true);
    strips[Strip::LeaveFullScreen] = leaveFullScreenStrip();
    strips[Strip::Restore] = restoreStrip();
    strips[Strip::OnTop] = pinStrip();
    strips[Strip::Tabs] = tabStrip(State::Normal);
    strips[Strip::TabsSelected] = tabStrip(State::Selected);
    strips[Strip::TabsHover] = tabStrip(State::Hover);
    strips[Strip::Tools] = toolStrip(false);
    strips[Strip::ToolsHover] = toolStrip(true);
    strips[Strip::StopMute] = twoStateToolStrip();
    strips[Strip::SidePanel] = sidePanelStrip();
    return strips;
}
