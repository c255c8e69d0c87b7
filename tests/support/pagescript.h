#pragma once

// Acting in a web pane the way a page or a user does: scripts, links,
// clicks. Every wait runs the event loop (support/eventwait.h).

#include <QPoint>
#include <QString>
#include <QVariant>
#include <QWebEngineScript>

class WebPane;

class PageScript
{
public:
    // Runs a script in the page and waits up to five seconds for its result
    // (an invalid QVariant when none came). A page busy loading may answer
    // later: the late answer goes nowhere.
    static QVariant js(WebPane *pane, const QString &code, quint32 world = QWebEngineScript::MainWorld);

    // A page follows a link it has just written, as a portal script does:
    // the address reaches the window exactly as written. `frame` names a
    // frame of the top page, empty for the top page itself.
    static void followLink(WebPane *pane, const QString &href, const QString &frame = QString());

    // Clicks an element of the page (or of a frame) by script.
    static void clickElement(WebPane *pane, const QString &selector, const QString &frame = QString());

    // Centre of an element in pane coordinates, scrolled into view first;
    // (-1, -1) when it is missing.
    static QPoint centreOf(WebPane *pane, const QString &selector, const QString &frame = QString());

    // The pointer goes there first: menus open where the pointer is.
    static void rightClick(WebPane *pane, const QPoint &pos);
};
