#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

class PictureBox;
class QTimer;
class QWebEngineProfile;
class WebPane;

// The two small promotion windows: a frameless window showing one portal page
// in a silent web pane, with a close picture in its top right corner.
//
// Each is a top-level window of its own (no owner) that deletes itself when it
// closes: by its close picture, by a new-window request of its page (the
// requested page goes to the user's browser first) or, for ba4, by its timer.
// Closing one never ends the program by itself; the owner of ba4 does that on
// closed(). The page stays on the portal; an address elsewhere the user
// clicks opens in the user's browser (WebPane::setPortal).
class PromotionWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PromotionWindow)

public:
    // The page Web1 (its border pushed outside the window) and the close
    // picture Picture1, both on the panel that fills the window.
    WebPane *Web1() const { return m_Web1; }
    PictureBox *Picture1() const { return m_Picture1; }

Q_SIGNALS:
    // The window is going (it is deleted right after).
    void closed();

protected:
    // `profile` must outlive the window.
    PromotionWindow(QWebEngineProfile *profile, const QString &caption, const QSize &client,
                    const QRect &closePicture, const QImage &closeImage);

    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Picture1_Click();
    void Form_Resize();
    void Web1_NewWindow2(bool *Cancel);
    PictureBox *m_Pc1 = nullptr;
    WebPane *m_Web1 = nullptr;
    PictureBox *m_Picture1 = nullptr;
    bool m_closing = false;
    // The close picture's left edge, from the window's right edge.
    int m_closeFromRight = 0;
};

// The floating promotion window "Kavo游戏盒推荐" (the desktop lists it by
// this title): always on top near the bottom right
// of the primary screen, showing PortalBase + "js/ads/fudong.html".
class adsb final : public PromotionWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(adsb)

public:
    adsb(QWebEngineProfile *profile, const QString &portalBase);

private:
    void Form_Load(const QString &portalBase);
};

// The recommendation window "推荐" shown at quit, showing PortalBase +
// "js/ads/tui.html"; it closes itself 8000 ms after it was created. Its place
// is the window manager's choice.
class ba4 final : public PromotionWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ba4)

public:
    static constexpr int CLOSE_AFTER_MS = 8000;

    ba4(QWebEngineProfile *profile, const QString &portalBase);

    // Closes the window CLOSE_AFTER_MS after it was created.
    QTimer *Timer1() const { return m_Timer1; }

private:
    QTimer *m_Timer1 = nullptr;
};
