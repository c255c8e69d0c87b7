// The main window's own frame: the painted skin, the rounded region, moving
// by the background and resizing from the edge band.
#include "mainwindow/ba1.h"

#include "mainwindow/gamepagepart.h"

#include "portal/gui/webpane.h"
#include "resources/gui/skinframe.h"
#include "shell/framegeometry.h"
#include "shell/gui/roundregion.h"
#include "startup/settings.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

using namespace FrameGeometry;

namespace
{
Qt::CursorShape cursorFor(EdgeZone zone)
{
    switch (zone) {
    case EdgeZone::Left:
    case EdgeZone::Right:
        return Qt::SizeHorCursor;
    case EdgeZone::Top:
    case EdgeZone::Bottom:
        return Qt::SizeVerCursor;
    case EdgeZone::TopLeft:
    case EdgeZone::BottomRight:
        return Qt::SizeFDiagCursor;
    case EdgeZone::TopRight:
    case EdgeZone::BottomLeft:
        return Qt::SizeBDiagCursor;
    case EdgeZone::Interior:
        break;
    }
    return Qt::ArrowCursor;
}

Qt::Edges edgesFor(EdgeZone zone)
{
    switch (zone) {
    case EdgeZone::Left: return Qt::LeftEdge;
    case EdgeZone::Right: return Qt::RightEdge;
    case EdgeZone::Top: return Qt::TopEdge;
    case EdgeZone::Bottom: return Qt::BottomEdge;
    case EdgeZone::TopLeft: return Qt::TopEdge | Qt::LeftEdge;
    case EdgeZone::TopRight: return Qt::TopEdge | Qt::RightEdge;
    case EdgeZone::BottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case EdgeZone::BottomRight: return Qt::BottomEdge | Qt::RightEdge;
    case EdgeZone::Interior: break;
    }
    return {};
}
} // namespace

void BA1::PaintFrame()
{
    m_formImage = SkinFrameImage(m_ppt[Strip::Frame], size(), SkinRects::TAB_BAR_ROWS);
    update();
    ApplyRoundRegion(this);
}

void BA1::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_formImage);
}

void BA1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
    // A resize that the window manager carries out for a press on the edge
    // band ends without telling the window: every size it reaches is saved.
    if (m_EdgeResizing && !isMaximized() && !isMinimized())
        SaveWindowSize();
}

void BA1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        if (m_npc[Caption::Maximise])
            PaintMaximise();
        Form_Resize();
    }
    // Keys held when another window takes the keyboard go up there.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && m_game)
        m_game->Web2()->ReleaseHeldKeys();
}

void BA1::setVisible(bool visible)
{
    if (visible && !m_shownOnce) {
        // The window opens in the middle of the work area. Placed before it
        // is mapped: a move from its show event leaves the platform window's
        // idea of its position behind, which the window manager's move
        // then starts from.
        m_shownOnce = true;
        if (!m_state.WorkArea.isEmpty() && !isMaximized())
            move(m_state.WorkArea.center() - QPoint(width() / 2, height() / 2));
    }
    QWidget::setVisible(visible);
}

void BA1::EdgeResize(int mode, int x, int y)
{
    unsetCursor();
    if (mode == 2) {
        if (m_EdgeResizing && !m_Dragging)
            m_EdgeResizing = false;
        return;
    }
    const EdgeZone zone = ClassifyEdge(x, y, width(), height());
    if (zone != EdgeZone::Interior)
        setCursor(cursorFor(zone));
    if (mode != 0 && zone != EdgeZone::Interior) {
        m_EdgeResizing = true;
        // The window manager runs the resize while the left button is held;
        // with another button it would wait for a left press that never comes.
        if (QWindow *window = windowHandle(); window && (QGuiApplication::mouseButtons() & Qt::LeftButton))
            window->startSystemResize(edgesFor(zone));
    }
}

void BA1::Form_MouseMove(Qt::MouseButtons buttons, int x, int y)
{
    const int W = width();
    const int H = height();
    const bool interior = ClassifyEdge(x, y, W, H) == EdgeZone::Interior;
    const bool leftDown = buttons & Qt::LeftButton;
    const bool outside = x < 0 || y < 0 || x > W || y > H;
    if (!leftDown) {
        // A press that handed the pointer to the window manager is over.
        m_EdgeResizing = false;
        m_moveStarted = false;
    }
    if (interior || leftDown || outside) {
        unsetCursor();
        m_Dragging = true;
        if (!isMaximized() && leftDown && y > EDGE_BAND && x > EDGE_BAND && x < W - EDGE_BAND && !m_EdgeResizing
            && !m_moveStarted) {
            m_moveStarted = true;
            if (QWindow *window = windowHandle())
                window->startSystemMove();
        }
    } else {
        EdgeResize(0, x, y);
        m_Dragging = false;
    }
}

void BA1::Form_MouseDown(Qt::MouseButton, int x, int y)
{
    m_moveStarted = false;
    m_EdgeResizing = false;
    if (isMaximized() || ClassifyEdge(x, y, width(), height()) == EdgeZone::Interior)
        return;
    EdgeResize(1, x, y);
    m_Dragging = false;
    SaveWindowSize();
}

void BA1::Form_MouseUp(int x, int y)
{
    EdgeResize(2, x, y);
    m_Dragging = false;
    m_moveStarted = false;
}

void BA1::SaveWindowSize()
{
    Settings::Write(m_state.ConfigPath, Settings::H_W, PixelsToTwips(width()));
    Settings::Write(m_state.ConfigPath, Settings::H_H, PixelsToTwips(height()));
}

void BA1::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    Form_MouseDown(event->button(), pos.x(), pos.y());
}

void BA1::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    Form_MouseMove(event->buttons(), pos.x(), pos.y());
}

void BA1::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    Form_MouseUp(pos.x(), pos.y());
}

void BA1::mouseDoubleClickEvent(QMouseEvent *)
{
    Form_DblClick();
}
