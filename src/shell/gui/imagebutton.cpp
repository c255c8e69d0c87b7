#include "shell/gui/imagebutton.h"

#include "shell/gui/skinaccessible.h"

#include <QEnterEvent>
#include <QGuiApplication>

ImageButton::ImageButton(int index, QWidget *parent)
    : PictureBox(parent)
    , m_index(index)
{
}

void ImageButton::setToolTipText(const QString &text)
{
    if (text == m_toolTipText)
        return;
    m_toolTipText = text;
    // Screen readers may read the button by this text.
    SkinAccessible::Changed(this);
}

void ImageButton::enterEvent(QEnterEvent *event)
{
    PictureBox::enterEvent(event);
    // A disabled button takes no mouse events, crossings included.
    if (isEnabled())
        Q_EMIT mouseMoved(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers(),
                      event->position().toPoint());
}

void ImageButton::leaveEvent(QEvent *event)
{
    PictureBox::leaveEvent(event);
    if (isEnabled())
        Q_EMIT mouseMoved(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers(), outsidePoint());
}
