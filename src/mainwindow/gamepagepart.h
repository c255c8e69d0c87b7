#pragma once

// The game page zz(1): the title strip picg (the bullet Image1, the game's
// name yxname and, in full-screen mode, the button c_z(8)), the game area
// picf (the player box Pic1 holding Web2 and the pause note tingzhi, the
// toolbar Picd with c_z(0)..c_z(7) and the status text lblCount) and the side
// panel Pic2 holding the game information Webr.
//
// The part owns these controls, their placing and the pictures of its
// buttons. The state of the two-state buttons lives in typed members; their
// tooltips and pictures follow it and are never read back. What a click does
// is the window's (BA1::c_z_click, through toolClicked).

#include "mainwindow/windowbuttons.h"

#include <QObject>
#include <Qt>

class ImageButton;
class PictureBox;
class QImage;
class QLabel;
class QPoint;
class QWebEngineProfile;
class QWidget;
class WebPane;

class GamePagePart final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GamePagePart)

public:
    // The controls go into `page`; the buttons cut their pictures from the
    // window's skin strips `ppt` (ppt(0)..ppt(12)), which outlive the part.
    GamePagePart(QWidget *page, QWebEngineProfile *profile, const QImage *ppt);

    PictureBox *picg() const { return m_picg; }
    QLabel *yxname() const { return m_yxname; }
    PictureBox *Image1() const { return m_Image1; }
    PictureBox *picf() const { return m_picf; }
    PictureBox *Pic1() const { return m_Pic1; }
    QLabel *tingzhi() const { return m_tingzhi; }
    PictureBox *Picd() const { return m_Picd; }
    ImageButton *c_z(int index) const { return m_c_z[index]; }
    QLabel *lblCount() const { return m_lblCount; }
    PictureBox *Pic2() const { return m_Pic2; }
    WebPane *Web2() const { return m_Web2; }
    WebPane *Webr() const { return m_Webr; }

    // The game plays (c_z(0) reads "停止") or is paused ("继续", the player
    // pane hidden, its page still loaded behind it).
    bool GameRunning() const { return m_gameRunning; }
    void SetGameRunning(bool running);
    // The side panel shows (c_z(7) reads "隐藏") or is hidden ("显示").
    bool SidePanelShown() const { return m_sidePanelShown; }
    void SetSidePanelShown(bool shown);
    // The sound was switched off by c_z(2) ("取消"), or not ("静音").
    bool Muted() const { return m_muted; }
    void SetMuted(bool muted);

    // Every button's picture from the strips, as the state stands.
    void PaintButtons();
    // The picture of button `index` with the pointer at `pos` (inside or,
    // when it left, outside the button).
    void PaintHover(int index, const QPoint &pos);
    // The picture a plain button (reload, favourite, screenshot, download,
    // full screen) shows after its click.
    void PaintClicked(int index);

    // The toolbar's buttons and status text, along the top of Picd.
    void LayoutToolbar();
    // The page in the standard window: the side panel as its state says.
    void Layout();
    // The page over the whole window in full-screen mode: title strip and
    // player only; the side panel is hidden whatever its state.
    void LayoutFullScreen();
    // The title strip's text.
    void ShowTitle(const QString &text);
    // The toolbar's status text (a download's progress, a refusal).
    void ShowStatus(const QString &text);
    // The toolbar goes and the title strip offers c_z(8), or the other way
    // round.
    void SetFullScreen(bool on);
    // A button that cannot be used while its command runs (the screenshot).
    void SetToolEnabled(int index, bool enabled);

Q_SIGNALS:
    // A click on button c_z(index), and the pointer over it (`pos` in the
    // button's coordinates, outside it when it left).
    void toolClicked(int index);
    void toolPointerMoved(int index, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    // The pointer over the title strip or the toolbar, off any button.
    void pointerMoved();

private:
    void paint(int index, int strip, const QRect &frame);
    // What a screen reader hears of the toolbar.
    void describeButtons();

    QWidget *m_page;
    const QImage *m_ppt;
    PictureBox *m_picg = nullptr;
    QLabel *m_yxname = nullptr;
    PictureBox *m_Image1 = nullptr;
    PictureBox *m_picf = nullptr;
    PictureBox *m_Pic1 = nullptr;
    QLabel *m_tingzhi = nullptr;
    PictureBox *m_Picd = nullptr;
    ImageButton *m_c_z[Tool::Count] = {};
    QLabel *m_lblCount = nullptr;
    PictureBox *m_Pic2 = nullptr;
    WebPane *m_Web2 = nullptr;
    WebPane *m_Webr = nullptr;
    bool m_gameRunning = true;
    bool m_sidePanelShown = false;
    bool m_muted = false;
};
