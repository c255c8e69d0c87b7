#include "mainwindow/windowkit.h"

#include <QLabel>

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
