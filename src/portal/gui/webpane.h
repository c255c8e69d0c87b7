#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWebEngineView>

#include <vector>

class QWebEngineLoadingInfo;
class QWebEngineProfile;
class WebPanePage;

// One browser pane of the main window. It raises the browser events the
// window's handlers work on, always with the address as text:
//
//  - BeforeNavigate2 for every navigation of the top page and of its frames.
//    Who reports what, so that each navigation is reported exactly once:
//      * Navigate()/Navigate2(): reported synchronously inside the call with
//        the text as given, before anything loads. A cancel leaves the pane
//        untouched.
//      * Command addresses (any scheme other than http, https, file, about,
//        data, blob, javascript, qrc and filesystem) started by a page, by a
//        link, a script or a form, in any frame: a script in every frame,
//        living in a script world pages cannot reach, stops them before the
//        engine sees them and reports the text byte for byte (QUrl cannot
//        hold "tuzoflash://12$$$34$$$%u4E2D%u6587/" and turns "delk://1/2"
//        into "delk://0.0.0.1/2"). For a link the text is its href attribute
//        as written, so the scheme keeps its letter case; for a script
//        navigation it is the address as the engine resolved it (scheme in
//        lower case). Reports reach the pane as console messages signed with
//        a per-pane secret, since the web channel of this engine version only
//        accepts messages of the top frame.
//      * Ordinary addresses started by a page (links, scripts, forms, frame
//        loads, history steps): reported from the navigation filter in their
//        encoded form; a cancel refuses the navigation. Redirects and reloads
//        are not reported, nor are loads started with load()/setUrl(), which
//        callers should not use.
//    The engine loads no command address: one that is not cancelled ends in
//    NavigateError(text, UnknownSchemeError), queued, and the page stays.
//  - The pane stays on its portal (setPortal) and the program's pages, as
//    portal/navigationpolicy.h decides. A top-page navigation a page starts
//    to another address is refused before BeforeNavigate2, without a word;
//    when the user's click or key asked for a web address, OpenInBrowser
//    carries it instead, once a gesture. A load redirected to another
//    origin stops and ends in NavigateError(the address it started with,
//    RefusedRedirectError); the page shown before stays.
//  - DownloadBegin / DownloadComplete around every load of the top page,
//    DownloadComplete also when the load failed; a refused navigation raises
//    neither.
//  - NavigateError for a failed load of the top page: statusCode is the HTTP
//    status (>= 400) or a negative network error code. The text is the one
//    given to Navigate() when the failing address is that one.
//  - NewWindow2 when a page asks for a new window (window.open, target
//    _blank) in answer to the user's click or key, once a gesture; a page's
//    requests of its own are dropped without a word. If no handler cancels
//    and the address is http(s), NewWindowRequested carries it; the pane
//    itself never opens a window.
//  - ContextMenu for a right click in a hooked document (see MenuHooks); the
//    browser's own menu is suppressed there and shows everywhere else.
//  - Pages and frames asking for a permission (location, camera,
//    microphone, notifications, the mouse pointer, the screen) are refused.
//  - RendererEnded when the process drawing the page ended (it ran out of
//    memory, the engine or the system ended it, it crashed). The pane is
//    blank until it loads a page again; `again` says that its previous end
//    came less than a minute before (LoadAgainAfterRendererEnd). Until the
//    pane navigates elsewhere, Refresh() and LoadAgain() load the address it
//    showed then, with a new renderer, also over a note (ShowNote).
class WebPane : public QWebEngineView
{
    Q_OBJECT

public:
    // Network error code given for a command address nobody handled.
    static constexpr int UnknownSchemeError = -302;
    // Network error code given for a load redirected away from the portal.
    static constexpr int RefusedRedirectError = -311;

    // Which documents of the pane take over the context menu. The rules are
    // handed to the frame script as plain data because the script must decide
    // at once whether to suppress the browser's menu. Rules apply to documents
    // created after the call and to the top document shown at the time.
    struct MenuHooks
    {
        bool hookTop = false;        // the top document
        QStringList hookFrameNames;  // frames whose name (window.name) is listed
        bool hookAllFrames = false;  // every frame, whatever its name
    };

    // What the script saw at a right click in a hooked document.
    struct ContextMenuInfo
    {
        bool isTop = false;
        QString frameName;    // window.name of the frame; empty for the top
        QString documentUrl;  // document.URL
        QString activeHref;   // href of document.activeElement, or empty
        QString targetHref;   // href of the link under the pointer, or empty
        QString activeHrefAttribute; // href attribute of document.activeElement as written, or empty
    };

    // Panes of the program share its profile (see portal/gui/webprofile.h);
    // the profile must outlive the pane.
    explicit WebPane(QWebEngineProfile *profile, QWidget *parent = nullptr);
    ~WebPane() override;

    // Loads an address. An absolute local path, with or without a query
    // ("/x/app/flash.htm?12"), loads through the program's door when the
    // pane's profile is the program's and the path is inside its application
    // folder, otherwise as the matching file:// address.
    // The portal whose origin the pane's pages may show (PortalBase). Until
    // it is set no web origin is the pane's: pages can lead it nowhere.
    void setPortal(const QString &portalBase);

    void Navigate(const QString &url);
    void Navigate2(const QString &url);
    void Refresh();
    void GoBack();
    void GoForward();
    void Stop();
    // The address shown; the text given to Navigate() when it is that one.
    QString locationUrl() const;

    // The address shown when the pane's renderer last ended, until the pane
    // navigates to another; empty otherwise.
    QString endedAddress() const { return m_endedAddress; }
    // Loads endedAddress() again (nothing when it is empty).
    void LoadAgain();
    // Shows a page of the program's own (a note) in place of an ended page;
    // endedAddress() stays.
    void ShowNote(const QString &html);

    // Tells the page that the keys it saw go down and not yet up went up.
    // For a window that hides or loses the keyboard while a key is held: the
    // key's own release goes to another window, and a game would go on
    // believing it held.
    void ReleaseHeldKeys();

    // Silent panes show no alert, confirm (answered No), prompt (cancelled) or
    // before-unload question (the page is left). Certificate errors are
    // refused without a question in every pane.
    void setSilent(bool silent);
    bool isSilent() const;

    void setMenuHooks(const MenuHooks &hooks);
    MenuHooks menuHooks() const;

    // True when the address has a scheme the engine does not load itself
    // (the program's command schemes among them).
    static bool isCommandScheme(const QString &url);
    // The address Navigate() loads for a text.
    QUrl addressToUrl(const QString &url) const;

Q_SIGNALS:
    // Handlers set *cancel from a direct connection (the default within the
    // GUI thread); a queued handler cannot cancel.
    void BeforeNavigate2(const QString &url, bool *cancel);
    void DownloadBegin();
    void DownloadComplete();
    void NavigateError(const QString &url, int statusCode);
    void NewWindow2(bool *cancel);
    void NewWindowRequested(const QString &url);
    void OpenInBrowser(const QString &url);
    void ContextMenu(const WebPane::ContextMenuInfo &info, const QPoint &globalPos);
    void RendererEnded(bool again);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class WebPanePage;

    bool acceptNavigation(const QUrl &url, int type, bool isMainFrame);
    void onScriptMessage(const QString &message);
    void onScriptNavigation(const QString &url);
    void onScriptLeave(const QString &url, bool sendsData, bool activated);
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void onRendererEnded();
    QString errorText(const QUrl &url) const;
    void failCommand(const QString &url);
    void installScripts();
    QString scriptConfig() const;

    WebPanePage *m_page = nullptr;
    QString m_token;          // proves a console message came from the frame script
    bool m_silent = false;
    MenuHooks m_hooks;
    QUrl m_requestedUrl;      // the last address given to Navigate()
    QString m_requestedText;  // and its text
    QUrl m_portal;            // see setPortal()
    QUrl m_refusedUrl;        // top-page navigation refused by the filter
    bool m_refusedRedirect = false; // and it was a redirect
    QUrl m_loadingUrl;        // the top page's load in progress
    // The user clicked or typed into the page since the pane last handed an
    // address to the browser.
    bool m_userInput = false;
    bool m_swallowLoad = false;
    QString m_endedAddress;   // see endedAddress()
    // Presses the page has been given and no release yet, oldest first.
    struct HeldKey
    {
        int key;
        quint32 scanCode, virtualKey, nativeModifiers;
        QString text;
    };
    std::vector<HeldKey> m_heldKeys;

    qint64 m_lastEndMs = -1;  // when the renderer last ended (monotonic clock)
};

Q_DECLARE_METATYPE(WebPane::ContextMenuInfo)
