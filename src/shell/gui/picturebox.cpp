#include "shell/gui/picturebox.h"

#include "shell/gui/skinaccessible.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget *parent, QColor background)
    : QWidget(parent)
    , m_background(background)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, background.isValid());
    SkinAccessible::Install();
}

void PictureBox::setBackground(QColor colour)
{
    m_background = colour;
    setAttribute(Qt::WA_OpaquePaintEvent, colour.isValid());
    update();
}

void PictureBox::setBorder(QColor colour)
{
    m_border = colour;
    update();
}

void PictureBox::setPicture(const QImage &picture)
{
    m_image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    resize(m_image.size());
    update();
}

void PictureBox::ensureImageSize()
{
    if (m_image.size() == size())
        return;
    QImage grown(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    grown.fill(m_background.isValid() ? m_background : QColor(Qt::transparent));
    if (!m_image.isNull()) {
        QPainter p(&grown);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, m_image);
    }
    m_image = grown;
}

void PictureBox::paintFrom(const QImage &source, const QRect &sourceRect)
{
    ensureImageSize();
    if (source.isNull())
        return;
    QPainter p(&m_image);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), source, sourceRect);
}

void PictureBox::refresh()
{
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_background.isValid())
        p.fillRect(rect(), m_background);
    if (!m_image.isNull())
        p.drawImage(0, 0, m_image);
    if (m_border.isValid()) {
        p.setPen(m_border);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    // The image follows the box once something has been drawn into it.
    if (!m_image.isNull())
        ensureImageSize();
    QWidget::resizeEvent(event);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        Q_EMIT clicked();
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    Q_EMIT mouseMoved(event->buttons(), event->modifiers(), event->position().toPoint());
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click counts as a press.
    mousePressEvent(event);
}
