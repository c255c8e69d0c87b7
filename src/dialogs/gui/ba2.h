#pragma once

#include "common/apppaths.h"

#include <QImage>
#include <QWidget>

class ClickLabel;
class ImageButton;
class PictureBox;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

// The settings and about dialog: a skinned, frameless window owned by the
// main window (it stays above it), with two pages. It draws its frame from the
// owner's skin strips (`skin[0]` the frame, `skin[1]`/`skin[2]` the caption
// buttons and their hover images), which must outlive it. It reads its four options
// from config.ini when it is created; only Apply and OK write them back.
// Closing it in any way (OK, Cancel, the close button) deletes it, so the
// next opening reads the file afresh. Its controls are found by their object
// names (title, close, aboutTab, settingsPage, closeToTray, ok, ...).
class BA2 final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BA2)

public:
    BA2(QWidget *owner, const AppPaths &paths, const QImage *skin);

    enum class Page { About, Settings };
    // Selects the page and its tab, as a click on the tab does.
    void showPage(Page page);

    // Closed or unloaded: on its way out, no longer the dialog of the window.
    bool isUnloaded() const { return m_unloaded; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    friend void UnloadSettingsDialog(QWidget *owner);

    void createControls();
    void createSettingsPage();
    void createAboutPage();
    void Form_Load();
    void Form_Resize();
    void F2_Paint();
    void lc_Click(int index);
    void cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void guan_Click();
    void guan_MouseMove(const QPoint &pos);
    void unload();

    QWidget *m_owner;
    AppPaths m_paths;
    const QImage *m_skin;
    QString m_configPath;
    QImage m_formImage;
    bool m_moveStarted = false;
    bool m_unloaded = false;

    // Title in the top strip: the name of the page shown.
    QLabel *ni_name = nullptr;
    ImageButton *guan = nullptr; // close button
    PictureBox *Pic1 = nullptr;  // body
    PictureBox *Pic6 = nullptr;  // tab column, with its outline
    PictureBox *Pic3 = nullptr;  // inside of the tab column
    ClickLabel *lc[2] = {};      // 关于我们, 软件设置
    PictureBox *Im1 = nullptr;   // marker of the selected tab
    PictureBox *pic4 = nullptr;  // settings page
    PictureBox *Pic2 = nullptr;  // about page
    QFrame *Frame4 = nullptr;
    // Check1(0) window size, (1) start with the desktop, (2) balloons,
    // (3) close to the notification area.
    QCheckBox *Check1[4] = {};
    // Headers, the hint and the about texts, by their design indexes.
    QLabel *L1[14] = {};
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdApply = nullptr;
};

// The dialog of a window, created on first use.
BA2 *SettingsDialog(QWidget *owner, const AppPaths &paths, const QImage *skin);
// Deletes it, when there is one (exit, boss key).
void UnloadSettingsDialog(QWidget *owner);
