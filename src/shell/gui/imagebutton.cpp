#include "shell/gui/imagebutton.h"

#include <QEnterEvent>
#include <QGuiApplication>

ImageButton::ImageButton(int index, QWidget *parent)
    : PictureBox(parent)
    , m_index(index)
{
}

void ImageButton::enterEvent(QEnterEvent *event)
{
    PictureBox::enterEvent(event);
    Q_EMIT mouseMoved(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers(),
                      event->position().toPoint());
}

void ImageButton::leaveEvent(QEvent *event)
{
    PictureBox::leaveEvent(event);
    Q_EMIT mouseMoved(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers(), outsidePoint());
}
