#pragma once

// The state the main window's commands share, under the names the rest of
// the program uses for it. Plain data: the window keeps one (BA1::state()).

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
    // The selected tab, as the index of its button npc(i).
    int CurrentTab = Caption::PortalTab;
    // The play command of the current game, "0" before the first.
    QString CurrentGameUrl = QStringLiteral("0");
    QString CurrentGameName = QStringLiteral("0");
    // 1 while the game page covers the window.
    int FullScreenGame = 0;
    // "1" while a game downloads.
    QString DownloadState = QStringLiteral("0");
    int PortalErrorShown = 0;
    // 1 once the top promotion failed; it stays hidden.
    int TopAdFailed = 0;
    // The game link the list page's menu was opened on.
    QString ContextGameLink;
    // From the portal's notice.
    QString LatestVersion;
    QString ExitPromoFlag;
};
