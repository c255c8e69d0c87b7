#pragma once

// The state the main window's commands share, under the names the rest of
// the program uses for it. Plain data: the window keeps one and its commands
// set it (BA1::state() reads it). Which list the list page shows is the list
// part's, whether a download runs the download control's, whether the window
// is maximised the window's.

#include "mainwindow/windowbuttons.h"

#include <QRect>
#include <QString>

struct BoxState
{
    QString ConfigPath;
    // The desktop's work area at load.
    QRect WorkArea;
    int WorkAreaWidth = 0;
    int WorkAreaHeight = 0;
    QString InstalledVersion;
    // The selected tab.
    Caption::Index CurrentTab = Caption::PortalTab;
    // The play command of the current game, empty before the first.
    QString CurrentGameUrl;
    // The current game's name. Before any command named one it is "0", and a
    // record made then carries that name, as it always has.
    QString CurrentGameName = QStringLiteral("0");
    // The game page covers the window.
    bool FullScreenGame = false;
    // The portal failed once: later loads no longer move its overlay.
    bool PortalErrorShown = false;
    // The top promotion failed; it stays hidden.
    bool TopAdFailed = false;
    // The game link the list page's menu was opened on.
    QString ContextGameLink;
    // From the portal's notice.
    QString LatestVersion;
    QString ExitPromoFlag;
};
