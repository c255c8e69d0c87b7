#include "mainwindow/windowkit.h"

#include <QLabel>
#include <QPainter>
#include <QPolygonF>

void WindowKit::place(QWidget *w, float left, float top, float width, float height)
{
    w->setGeometry(px(left), px(top), std::max(px(width), 0), std::max(px(height), 0));
}

void WindowKit::setTextColour(QWidget *w, QColor colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    w->setPalette(pal);
}

QLabel *WindowKit::makeLabel(const QString &text, QWidget *parent, QColor colour)
{
    auto *label = new QLabel(text, parent);
    setTextColour(label, colour);
    label->adjustSize();
    return label;
}

QImage WindowKit::bulletPicture()
{
    QImage img(7, 9, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x77, 0xd0));
    p.drawPolygon(QPolygonF({QPointF(1, 0.5), QPointF(6.5, 4.5), QPointF(1, 8.5)}));
    return img;
}
