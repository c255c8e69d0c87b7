#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// A plain box of the main window: a panel that holds other controls, or a
// picture. It keeps a persistent image that drawing goes into and that it shows
// on the next refresh; where the image does not reach, the background colour
// shows. It takes its mouse events itself, so presses on it never reach the
// window behind it. To a screen reader it is a panel, unless it is described
// as the control it is (shell/gui/skinaccessible.h).
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr, QColor background = QColor());

    QColor background() const { return m_background; }
    void setBackground(QColor colour);
    // A one-pixel outline drawn over everything; invalid for none.
    void setBorder(QColor colour);

    // The persistent image; null until something is drawn or a picture is set.
    const QImage &image() const { return m_image; }
    // Shows `picture` and sizes the box to it (a picture control).
    void setPicture(const QImage &picture);
    // A straight copy of `source` from `sourceRect` to (0, 0) of the image.
    // Shows on the next refresh().
    void paintFrom(const QImage &source, const QRect &sourceRect);
    void refresh();

Q_SIGNALS:
    void clicked();
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint &pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void ensureImageSize();

    QColor m_background;
    QColor m_border;
    QImage m_image;
    bool m_pressed = false;
};
