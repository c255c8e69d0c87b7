#pragma once

#include <QLabel>

// A text label that is clicked like a button (list tabs, the clear link, the
// text of the loading panel). It takes its mouse events itself. To a screen
// reader it is its text, unless it is described as the control it is
// (shell/gui/skinaccessible.h).
class ClickLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(const QString &text = QString(), QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint &pos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};
