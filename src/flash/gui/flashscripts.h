#pragma once

#include <QJsonObject>

class QWebEnginePage;
class QWebEngineProfile;

// What the program gives pages for Flash, as scripts run before a page's
// own (flashpage.js and gamepage.js beside this file):
//
//  - every page of every pane of the profile (portal, lists, side panel,
//    advertisements, game, promotion windows) gets the program's Flash
//    runtime the way pages got the browser plug-in: <object>/<embed> play,
//    plug-in checks pass, a page's own copy of the runtime plays only when
//    it is newer, and a page without Flash loads nothing;
//  - pages of the game pane also get movies of hosts without cross-origin
//    consent (through the door, flash/gui/flashdoors.h), a note on a slow,
//    stalled or failed movie, the keyboard for a game that starts (a text
//    field the movie has focused keeps it), and text from the desktop's
//    input method in a movie's text field (gametyping.js: the runtime hears
//    only what the input method commits).
//
// Install them after FlashDoors::Install on the same profile.
void InstallFlashPageScript(QWebEngineProfile *profile);
void InstallGamePageScript(QWebEnginePage *page);

// The runtime's settings the program gives every page; a page's own values
// win. Movies start at once without a splash, unmute overlay or download
// offer, drawn on a 2D canvas (no graphics device needed), and device text
// (_sans, _serif, _typewriter and the Japanese gothic, gothic mono and
// mincho; a name the runtime does not know such as 宋体 falls back to one of
// them) is drawn with the program's Chinese fonts from the door (a sans and
// a mono face). The runtime's other way, device text drawn by the page,
// draws no Chinese at all and takes about 1.7 times the memory.
QJsonObject FlashRuntimeDefaults();
