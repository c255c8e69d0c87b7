#pragma once

#include <QJsonObject>

class QWebEnginePage;

// The program's script in every page of the game pane (the portal's player
// pages and the local player), added before the page's own scripts run:
//  - the Flash runtime's settings a page does not give itself are filled in
//    from GameRuntimeDefaults(); a page's own values win;
//  - the runtime's player takes the page's keyboard focus as soon as its movie
//    plays, so a game hears its keys without a click; a text field the
//    movie has focused keeps them;
//  - a movie's text field takes text from the desktop's input method: the
//    runtime hears only what the input method commits (gametyping.js).
void InstallGamePageScript(QWebEnginePage *page);

// The runtime's settings the program gives a game: Chinese fonts for device
// text. The runtime draws device text with fonts it loads itself
// (fontSources, here the program's font door: a sans and a mono face) and
// takes the six default names (_sans, _serif, _typewriter and the Japanese
// gothic, gothic mono and mincho) from defaultFonts; a name it does not know
// (宋体, 微软雅黑, Arial) falls back to one of those. Its other way, device
// text drawn by the page (deviceFontRenderer "canvas"), draws _sans and the
// other default names with no Chinese at all, and takes about 1.7 times the
// memory.
QJsonObject GameRuntimeDefaults();
