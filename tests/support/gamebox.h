#pragma once

// The main window on a fresh application folder, for every test of the
// window:
//
//     GameBox box;                         // against the demo portal
//     QVERIFY(box.start({"--fault", "/lib/wenc.txt=404"}));
//
//     GameBox box(GameBox::NO_PORTAL, {{"quit", "2"}});   // no web content
//     QVERIFY(box.show());
//
// The portal is a PortalServer on a free port; `settings` are keys of the
// section S_q written before the window loads. The folder outlives the
// window and the portal; both end with the object. Page helpers come from
// PageScript, message boxes and menus are answered by support/dialoganswers.h.

#include "common/apppaths.h"
#include "portal/gui/webpane.h"
#include "mainwindow/ba1.h"
#include "mainwindow/gamepagepart.h"
#include "mainwindow/listpagepart.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "startup/processentry.h"
#include "startup/settingsstore.h"
#include "support/core/files.h"
#include "support/core/tempfolder.h"
#include "support/dialoganswers.h"
#include "support/eventwait.h"
#include "support/pagescript.h"
#include "support/portalserver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

class GameBox : public PageScript
{
    // Declared first so that the folder outlives the portal and the window.
    TempFolder m_dir;

public:
    // A portal address nobody answers: for the window's own behaviour.
    static const QString NO_PORTAL;

    AppPaths paths;
    PortalServer portal;
    std::unique_ptr<BA1> w;

    // Nothing runs yet: start() or openWindow() do.
    GameBox();
    // The window against `portalBase`, built at once and not shown.
    explicit GameBox(const QString &portalBase, const QMap<QString, QString> &settings = {});

    // Starts the demo portal with `portalSwitches` (see `kavo-portal --help`)
    // and opens the window on it; with `waitForPortal`, waits until the
    // portal page shows its games inside the frame "tuzomain".
    bool start(const QStringList &portalSwitches = {}, bool waitForPortal = true);
    // Opens a new window on whatever the portal is doing (it may be
    // stopped); a stand-in local player page goes in unless one is there.
    bool openWindow(bool waitForPortal = true);
    // Builds a new window against `portalBase` (any earlier one goes first).
    void create(const QString &portalBase);
    // Shows the window and waits until the window manager has mapped it.
    bool show();

    QString base() const { return portal.baseUrl(); }
    // The portal page and its frame have loaded.
    bool portalReady(int timeout = 40000);

    // Keys of config.ini ("?" when missing).
    QString setting(const char *key, const QString &section = QStringLiteral("S_q")) const;
    void setSetting(const char *key, const QString &value, const QString &section = QStringLiteral("S_q"));

    // The installed local player page, its Flash runtime and its fonts, from
    // the built application folder, as the installer puts them.
    bool installLocalPlayer();
    // The Flash runtime and its fonts alone (every window gets them).
    bool installRuntime();
    // A game downloaded earlier: the portal's game `id` in flash/, its
    // record in the downloads list and page, and the installed local player.
    bool placeDownloadedGame(const QString &id, const QString &escapedName);
    // Plays a game as a portal page does: the play command in the portal pane.
    void play(const QString &commandUrl);

    // The lines of a list file, as the program reads them ("<missing>" when
    // it cannot be read).
    QStringList listLines(const QString &listFile) const;
    void setList(const QString &listFile, const QStringList &records);
};

// Distinct colours (4 bits a channel) among samples of a picture.
int colourCount(const QImage &img);
// The widget's picture with a pixel for each of the toolkit's: at twice the
// scale one of the four screen pixels stands for each.
QImage pictureOf(QWidget *w);
// Waits until the pane shows a drawn game rather than a plain page.
bool waitForGamePicture(QWidget *pane, int timeoutMs = 45000);
// The button's persistent image equals the frame `rect` of `strip`.
bool showsFrame(const ImageButton *button, const QImage &strip, const QRect &rect);
// The pixels of a persistent button image as they were copied from a strip.
QImage framePixels(const QImage &image, const QSize &size);
QImage stripPixels(const QImage &strip, const QRect &rect);
// Runs `action` inside the application's event loop; true when the program
// ended it (quit) rather than the time limit.
bool endsTheProgram(const std::function<void()> &action, int timeoutMs = 15000);
