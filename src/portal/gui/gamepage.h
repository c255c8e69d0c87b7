#pragma once

#include <QJsonObject>

class QWebEnginePage;

// The program's script in every page of the game pane (the portal's player
// pages and the local player), added before the page's own scripts run:
//  - the Flash runtime's settings a page does not give itself are filled in
//    from `runtimeDefaults` (keys of the runtime's config); a page's own
//    values win;
//  - the runtime's player takes the page's keyboard focus as soon as it is on
//    the page, so a game hears its keys without a click.
void InstallGamePageScript(QWebEnginePage *page, const QJsonObject &runtimeDefaults);
