#pragma once

// The list page zz(2): the header pic4 (the bullet Im2, the list's name
// lcname and the clear link shan_name), the left column Pic6 holding Pic3
// with the list tabs lc(0)..lc(2) and their marker Im1, and Pic7 holding Pic5,
// which holds the list pane Web3.
//
// The part owns these controls, their placing and which list the pane shows
// (lc_Click, Shown). What the list commands do is the window's.

#include "common/apppaths.h"
#include "portal/listcommands.h"

#include <QObject>

class ClickLabel;
class PictureBox;
class QLabel;
class QWebEngineProfile;
class QWidget;
class WebPane;

class ListPagePart final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListPagePart)

public:
    ListPagePart(QWidget *page, QWebEngineProfile *profile, const AppPaths &paths);

    PictureBox *pic4() const { return m_pic4; }
    QLabel *lcname() const { return m_lcname; }
    ClickLabel *shan_name() const { return m_shan_name; }
    PictureBox *Im2() const { return m_Im2; }
    PictureBox *Pic6() const { return m_Pic6; }
    PictureBox *Pic3() const { return m_Pic3; }
    PictureBox *Im1() const { return m_Im1; }
    ClickLabel *lc(int index) const { return m_lc[index]; }
    PictureBox *Pic7() const { return m_Pic7; }
    PictureBox *Pic5() const { return m_Pic5; }
    WebPane *Web3() const { return m_Web3; }

    // Shows list `index` (0 recently played, 1 favourites, 2 downloads) in
    // the list pane, with its header, clear link and tab marker; any other
    // index does nothing.
    void lc_Click(int index);
    // The list shown (the recently played ones until a tab is chosen).
    const ListTab &Shown() const { return m_shown; }
    // Places the page's controls; the clear link keeps its distance from the
    // window's right edge at `windowWidth`.
    void Layout(int windowWidth);

Q_SIGNALS:
    void tabClicked(int index);
    // The clear link was clicked: the list shown is to be emptied.
    void clearClicked();
    void pointerMoved();

private:
    QWidget *m_page;
    AppPaths m_paths;
    PictureBox *m_pic4 = nullptr;
    QLabel *m_lcname = nullptr;
    ClickLabel *m_shan_name = nullptr;
    PictureBox *m_Im2 = nullptr;
    PictureBox *m_Pic6 = nullptr;
    PictureBox *m_Pic3 = nullptr;
    PictureBox *m_Im1 = nullptr;
    ClickLabel *m_lc[3] = {};
    PictureBox *m_Pic7 = nullptr;
    PictureBox *m_Pic5 = nullptr;
    WebPane *m_Web3 = nullptr;
    ListTab m_shown = *ListTabAt(0);
};
