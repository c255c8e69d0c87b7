#pragma once

#include <QString>
#include <QUrl>

// Where a page may take the pane that shows it. The panes' web engine gets no
// security updates, so a pane shows the portal's pages (the origin of
// PortalBase: scheme, host and port) and the program's own, nothing else:
//
//  - What the program loads itself (a pane's Navigate, a reload, a step back
//    or forward through pages the pane has shown) loads.
//  - Only the program opens pages of its door (kavo://app); a page, a frame
//    or a redirect never does.
//  - Frames load what the portal's page puts in them (its advertisements among
//    them); they cannot take the top page anywhere but as below.
//  - The top page goes to the portal's origin, to about:blank and to blob
//    addresses of the portal's origin. Every other address is refused. A web
//    address of another origin opens in the desktop's browser instead when
//    the user asked for it (a click or a key on a link, or a form that sends
//    no data), never on a page's own initiative; a redirect, from the server
//    or the page, carries no gesture.
// Malformed addresses and an empty or malformed portal base make no origin the
// portal's. Command addresses are the panes' business, not decided here.
namespace NavigationPolicy
{
enum class Cause
{
    Program,  // the program's own load
    Reload,
    History,  // back or forward
    Link,     // a link or a script of a page
    Form,
    Redirect, // a server's redirect, or a page's meta refresh or early script
    Other,
};

enum class Verdict
{
    Load,
    Refuse,
    OpenInBrowser,
};

struct Request
{
    QUrl url;
    Cause cause = Cause::Other;
    bool mainFrame = true;
    bool userGesture = false; // the user's click or key asked for it
    bool sendsData = false;   // a form that posts
};

Verdict Decide(const QUrl &portalBase, const Request &request);

// The web origin of an http(s) address as pages write it
// ("http://host:port", the default port left out); empty for other
// addresses and for malformed ones.
QString OriginOf(const QUrl &url);
} // namespace NavigationPolicy
