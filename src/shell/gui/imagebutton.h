#pragma once

#include "shell/gui/picturebox.h"

#include <QString>

// A skinned button of the main window (caption and tab buttons, the game
// toolbar): a picture box whose image the window paints from the skin strips.
// Its state text plays the role of a tooltip that the window's logic reads and
// compares; it is never shown by the toolkit. A disabled button gets no mouse
// events at all.
//
// Hover images are driven by mouseMoved: it is emitted for every move over the
// button, on entering, and once more with a point outside the button when the
// pointer leaves, so a handler that paints by "inside or outside" always ends
// on the right image.
class ImageButton : public PictureBox
{
    Q_OBJECT

public:
    ImageButton(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }
    QString toolTipText() const { return m_toolTipText; }
    void setToolTipText(const QString &text);

    // The point mouseMoved reports when the pointer has left the button.
    static QPoint outsidePoint() { return QPoint(-1, -1); }

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int m_index;
    QString m_toolTipText;
};
