#include "portal/gui/webpane.h"

#include "portal/gui/webprofile.h"
#include "portal/localcontent.h"
#include "portal/navigationpolicy.h"
#include "portal/paneevents.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QKeyEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

static void initPaneResources()
{
    Q_INIT_RESOURCE(webpane);
}

namespace {

const QString SCRIPT_NAME = QStringLiteral("kavo-pane");

QString paneScriptSource()
{
    static const QString source = [] {
        initPaneResources();
        QFile file(QStringLiteral(":/portal/panescript.js"));
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll());
    }();
    return source;
}

QString leaveQuestion()
{
    return QCoreApplication::translate(
        "QWebEnginePage",
        "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

Qt::KeyboardModifiers modifierOf(int key)
{
    switch (key) {
    case Qt::Key_Control: return Qt::ControlModifier;
    case Qt::Key_Shift: return Qt::ShiftModifier;
    case Qt::Key_Alt: return Qt::AltModifier;
    case Qt::Key_Meta: return Qt::MetaModifier;
    default: return Qt::NoModifier;
    }
}

NavigationPolicy::Cause causeOf(int type)
{
    using Cause = NavigationPolicy::Cause;
    switch (type) {
    case QWebEnginePage::NavigationTypeLinkClicked: return Cause::Link;
    case QWebEnginePage::NavigationTypeTyped: return Cause::Program;
    case QWebEnginePage::NavigationTypeFormSubmitted: return Cause::Form;
    case QWebEnginePage::NavigationTypeBackForward: return Cause::History;
    case QWebEnginePage::NavigationTypeReload: return Cause::Reload;
    case QWebEnginePage::NavigationTypeRedirect: return Cause::Redirect;
    default: return Cause::Other;
    }
}

QString schemeOf(const QString &url)
{
    static const QRegularExpression re(QStringLiteral("^\\s*([a-zA-Z][a-zA-Z0-9+.\\-]*):"));
    const QRegularExpressionMatch m = re.match(url);
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

} // namespace

// The engine's side of a pane: the navigation filter and the script dialogs.
class WebPanePage final : public QWebEnginePage
{
public:
    WebPanePage(QWebEngineProfile *profile, WebPane *pane)
        : QWebEnginePage(profile, pane), m_pane(pane)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        return m_pane->acceptNavigation(url, type, isMainFrame);
    }

    void javaScriptAlert(const QUrl &origin, const QString &msg) override
    {
        if (!m_pane->isSilent())
            QWebEnginePage::javaScriptAlert(origin, msg);
    }

    bool javaScriptConfirm(const QUrl &origin, const QString &msg) override
    {
        if (!m_pane->isSilent())
            return QWebEnginePage::javaScriptConfirm(origin, msg);
        // The engine asks before-unload questions through here too; the frame
        // script keeps pages from asking, and should one ask anyway, a silent
        // pane leaves the page rather than staying.
        return msg == leaveQuestion();
    }

    bool javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &defaultValue,
                          QString *result) override
    {
        return !m_pane->isSilent()
            && QWebEnginePage::javaScriptPrompt(origin, msg, defaultValue, result);
    }

    // Pages' own console output is dropped; the frame script reports here.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int,
                                  const QString &) override
    {
        m_pane->onScriptMessage(message);
    }

    QWebEnginePage *createWindow(WebWindowType) override { return nullptr; }

private:
    WebPane *m_pane;
};

WebPane::WebPane(QWebEngineProfile *profile, QWidget *parent)
    : QWebEngineView(parent)
{
    m_page = new WebPanePage(profile, this);
    QWebEngineSettings *settings = m_page->settings();
    // Pages and games are untrusted: a local page reads no other local file
    // and gets no exemption from the web's origin rules. The program's own
    // files reach the panes through the door of the profile.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    // A pop-up blocker: a page gets a new window only in answer to the
    // user's click or key, one a gesture (opening a window uses the gesture
    // up); windows a page asks for on its own are dropped.
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // Never hand an address to another program.
    settings->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);

    m_token = QStringLiteral("kavo-pane:%1%2")
                  .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'))
                  .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    installScripts();

    connect(m_page, &QWebEnginePage::loadingChanged, this, &WebPane::onLoadingChanged);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this, &WebPane::onRendererEnded,
            Qt::QueuedConnection);
    connect(m_page, &QWebEnginePage::certificateError, this,
            [](const QWebEngineCertificateError &error) {
                QWebEngineCertificateError refused = error;
                refused.rejectCertificate();
            });
    connect(m_page, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl &origin, QWebEnginePage::Feature feature) {
                m_page->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
            });
    connect(m_page, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest &request) {
                // The engine's blocker (above) stops them first; one it
                // let through without a gesture would be dropped here.
                if (!request.isUserInitiated())
                    return;
                bool cancel = false;
                Q_EMIT NewWindow2(&cancel);
                // Only web addresses go on: the engine has mangled a command
                // address by now, and blank or local windows mean nothing
                // outside the program.
                const QUrl url = request.requestedUrl();
                const QString scheme = url.scheme();
                if (!cancel && (scheme == QLatin1String("http") || scheme == QLatin1String("https")))
                    Q_EMIT NewWindowRequested(url.toString(QUrl::FullyEncoded));
            });
    setPage(m_page);
}

WebPane::~WebPane()
{
    // The page must go before the view it renders into.
    setPage(nullptr);
    delete m_page;
}

void WebPane::setPortal(const QString &portalBase)
{
    m_portal = QUrl(portalBase);
    installScripts();
}

void WebPane::Navigate(const QString &url)
{
    bool cancel = false;
    Q_EMIT BeforeNavigate2(url, &cancel);
    if (cancel)
        return;
    if (isCommandScheme(url)) {
        failCommand(url);
        return;
    }
    m_requestedText = url;
    m_requestedUrl = addressToUrl(url);
    m_endedAddress.clear();
    m_page->load(m_requestedUrl);
}

void WebPane::Navigate2(const QString &url)
{
    Navigate(url);
}

void WebPane::Refresh()
{
    if (!m_endedAddress.isEmpty())
        LoadAgain();
    else
        m_page->triggerAction(QWebEnginePage::Reload);
}

void WebPane::LoadAgain()
{
    if (m_endedAddress.isEmpty())
        return;
    const QString address = m_endedAddress;
    Navigate(address);
}

void WebPane::ShowNote(const QString &html)
{
    m_requestedText.clear();
    m_requestedUrl.clear();
    m_page->setHtml(html);
}

bool WebPane::event(QEvent *event)
{
    // The engine draws into a child widget that takes the keys, made anew
    // with each renderer: each one is watched for the keys it is given.
    if (event->type() == QEvent::ChildPolished) {
        if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
            child->installEventFilter(this);
    }
    return QWebEngineView::event(event);
}

bool WebPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == focusProxy() && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress))
        m_userInput = true;
    if (watched == focusProxy() && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        std::erase_if(m_heldKeys, [key](const HeldKey &held) {
            return held.key == key->key() && held.scanCode == key->nativeScanCode();
        });
        if (event->type() == QEvent::KeyPress) {
            m_heldKeys.push_back({key->key(), key->nativeScanCode(), key->nativeVirtualKey(), key->nativeModifiers(),
                                  key->text()});
            // A press still on its way when the window went (the boss key's
            // own Ctrl comes after the key itself): its release will not come.
            if (!window()->isVisible() || !window()->isActiveWindow())
                QMetaObject::invokeMethod(this, &WebPane::ReleaseHeldKeys, Qt::QueuedConnection);
        }
    }
    return QWebEngineView::eventFilter(watched, event);
}

void WebPane::ReleaseHeldKeys()
{
    std::vector<HeldKey> held;
    held.swap(m_heldKeys);
    QWidget *input = focusProxy();
    if (!input)
        return;
    // The last one pressed goes up first, with the modifiers still held.
    while (!held.empty()) {
        const HeldKey key = held.back();
        held.pop_back();
        Qt::KeyboardModifiers still;
        for (const HeldKey &other : held)
            still |= modifierOf(other.key);
        QKeyEvent release(QEvent::KeyRelease, key.key, still, key.scanCode, key.virtualKey, key.nativeModifiers,
                          key.text);
        QCoreApplication::sendEvent(input, &release);
    }
}

void WebPane::onRendererEnded()
{
    // A note shown over an ended page keeps the page's address.
    if (m_endedAddress.isEmpty())
        m_endedAddress = locationUrl();
    const qint64 now = QDeadlineTimer::current().deadline();
    const qint64 since = m_lastEndMs < 0 ? -1 : now - m_lastEndMs;
    m_lastEndMs = now;
    Q_EMIT RendererEnded(!LoadAgainAfterRendererEnd(since));
}

void WebPane::GoBack()
{
    m_page->triggerAction(QWebEnginePage::Back);
}

void WebPane::GoForward()
{
    m_page->triggerAction(QWebEnginePage::Forward);
}

void WebPane::Stop()
{
    m_page->triggerAction(QWebEnginePage::Stop);
}

QString WebPane::locationUrl() const
{
    const QUrl shown = m_page->url();
    if (!m_requestedText.isEmpty() && shown == m_requestedUrl)
        return m_requestedText;
    return shown.toString(QUrl::FullyEncoded);
}

void WebPane::setSilent(bool silent)
{
    if (m_silent == silent)
        return;
    m_silent = silent;
    installScripts();
}

bool WebPane::isSilent() const
{
    return m_silent;
}

void WebPane::setMenuHooks(const MenuHooks &hooks)
{
    m_hooks = hooks;
    installScripts();
}

WebPane::MenuHooks WebPane::menuHooks() const
{
    return m_hooks;
}

bool WebPane::isCommandScheme(const QString &url)
{
    static const QStringList ordinary = {
        QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file"),
        QStringLiteral("about"), QStringLiteral("data"), QStringLiteral("blob"),
        QStringLiteral("javascript"), QStringLiteral("qrc"), QStringLiteral("filesystem"),
        QLatin1String(LocalContent::SCHEME)};
    const QString scheme = schemeOf(url);
    return !scheme.isEmpty() && !ordinary.contains(scheme);
}

QUrl WebPane::addressToUrl(const QString &url) const
{
    if (!url.startsWith(QLatin1Char('/')))
        return QUrl(url);
    if (const auto *program = qobject_cast<const ProgramProfile *>(m_page->profile())) {
        const QUrl door = program->urlForLocalPath(url);
        if (!door.isEmpty())
            return door;
    }
    const qsizetype mark = url.indexOf(QLatin1Char('?'));
    QUrl local = QUrl::fromLocalFile(mark < 0 ? url : url.left(mark));
    if (mark >= 0)
        local.setQuery(url.mid(mark + 1));
    return local;
}

bool WebPane::acceptNavigation(const QUrl &url, int type, bool isMainFrame)
{
    // The engine says nothing of the user's gesture: the navigations the
    // user asked for, the frame script has taken (onScriptLeave).
    if (NavigationPolicy::Decide(m_portal, {url, causeOf(type), isMainFrame}) != NavigationPolicy::Verdict::Load) {
        if (isMainFrame) {
            m_refusedUrl = url;
            m_refusedRedirect = type == QWebEnginePage::NavigationTypeRedirect;
        }
        return false;
    }
    // Typed loads come from Navigate(), which has reported them; redirects
    // and reloads continue a navigation that was reported already.
    if (type == QWebEnginePage::NavigationTypeTyped || type == QWebEnginePage::NavigationTypeReload
        || type == QWebEnginePage::NavigationTypeRedirect)
        return true;
    const QString scheme = url.scheme();
    // The frame script reports command addresses with their real text; one
    // that got past it is refused, as its text is lost here.
    bool cancel = scheme.isEmpty() || isCommandScheme(scheme + QLatin1Char(':'));
    if (!cancel)
        Q_EMIT BeforeNavigate2(url.toString(QUrl::FullyEncoded), &cancel);
    // The engine still announces a refused top-page navigation as a load
    // that starts and fails; that load is not passed on.
    if (cancel && isMainFrame)
        m_refusedUrl = url;
    return !cancel;
}

void WebPane::onScriptMessage(const QString &message)
{
    if (!message.startsWith(m_token + QLatin1Char(' ')))
        return;
    const QJsonArray report =
        QJsonDocument::fromJson(message.mid(m_token.size() + 1).toUtf8()).array();
    const QString kind = report.at(0).toString();
    // Handlers may open message boxes and menus; they run from the event
    // loop, not from inside the engine's console callback.
    if (kind == QLatin1String("navigate") && report.size() == 2) {
        const QString url = report.at(1).toString();
        QMetaObject::invokeMethod(this, [this, url] { onScriptNavigation(url); }, Qt::QueuedConnection);
    } else if (kind == QLatin1String("leave") && report.size() == 4) {
        const QString url = report.at(1).toString();
        const bool sendsData = report.at(2).toBool();
        const bool activated = report.at(3).toBool();
        QMetaObject::invokeMethod(this, [=, this] { onScriptLeave(url, sendsData, activated); },
                                  Qt::QueuedConnection);
    } else if (kind == QLatin1String("contextmenu") && report.size() == 7) {
        const ContextMenuInfo info{report.at(1).toBool(), report.at(2).toString(),
                                   report.at(3).toString(), report.at(4).toString(),
                                   report.at(5).toString(), report.at(6).toString()};
        const QPoint pointer = QCursor::pos();
        QMetaObject::invokeMethod(this, [this, info, pointer] { Q_EMIT ContextMenu(info, pointer); },
                                  Qt::QueuedConnection);
    }
}

void WebPane::onScriptNavigation(const QString &url)
{
    bool cancel = false;
    Q_EMIT BeforeNavigate2(url, &cancel);
    if (!cancel)
        failCommand(url);
}

void WebPane::onScriptLeave(const QString &url, bool sendsData, bool activated)
{
    // A gesture the page says it has, and input the pane saw: a page cannot
    // send the user's browser anywhere on its own, nor twice for one click.
    const NavigationPolicy::Request request{QUrl(url), NavigationPolicy::Cause::Link, true, activated && m_userInput,
                                            sendsData};
    if (NavigationPolicy::Decide(m_portal, request) != NavigationPolicy::Verdict::OpenInBrowser)
        return;
    m_userInput = false;
    Q_EMIT OpenInBrowser(request.url.toString(QUrl::FullyEncoded));
}

void WebPane::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        m_swallowLoad = !m_refusedUrl.isEmpty() && info.url() == m_refusedUrl;
        m_refusedUrl.clear();
        if (!m_swallowLoad) {
            m_loadingUrl = info.url();
            Q_EMIT DownloadBegin();
        }
        return;
    }
    if (m_swallowLoad) {
        m_swallowLoad = false;
        return;
    }
    // A load the filter refused a redirect of ends with the redirect's
    // address, with no start of its own.
    if (m_refusedRedirect && !m_refusedUrl.isEmpty() && info.url() == m_refusedUrl) {
        m_refusedUrl.clear();
        Q_EMIT NavigateError(errorText(m_loadingUrl), RefusedRedirectError);
    } else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
        Q_EMIT NavigateError(errorText(info.url()), info.errorCode());
    }
    Q_EMIT DownloadComplete();
}

QString WebPane::errorText(const QUrl &url) const
{
    return !m_requestedText.isEmpty() && url == m_requestedUrl ? m_requestedText
                                                               : url.toString(QUrl::FullyEncoded);
}

void WebPane::failCommand(const QString &url)
{
    // Queued: handlers may call Navigate() from inside their own events.
    QTimer::singleShot(0, this, [this, url] { Q_EMIT NavigateError(url, UnknownSchemeError); });
}

QString WebPane::scriptConfig() const
{
    QJsonObject config;
    config.insert(QStringLiteral("token"), m_token);
    config.insert(QStringLiteral("silent"), m_silent);
    config.insert(QStringLiteral("portal"), NavigationPolicy::OriginOf(m_portal));
    config.insert(QStringLiteral("hookTop"), m_hooks.hookTop);
    config.insert(QStringLiteral("hookFrameNames"), QJsonArray::fromStringList(m_hooks.hookFrameNames));
    config.insert(QStringLiteral("hookAllFrames"), m_hooks.hookAllFrames);
    return QString::fromUtf8(QJsonDocument(config).toJson(QJsonDocument::Compact));
}

void WebPane::installScripts()
{
    QWebEngineScriptCollection &scripts = m_page->scripts();
    for (const QWebEngineScript &old : scripts.find(SCRIPT_NAME))
        scripts.remove(old);

    const QString config = scriptConfig();
    QWebEngineScript script;
    script.setName(SCRIPT_NAME);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(paneScriptSource() + QStringLiteral("\nkavoPaneInstall(") + config
                         + QStringLiteral(");\n"));
    scripts.insert(script);

    // The document shown now keeps its script; give it the new settings.
    m_page->runJavaScript(QStringLiteral("window.kavoPane && window.kavoPane.configure(")
                              + config + QStringLiteral(");"),
                          QWebEngineScript::ApplicationWorld);
}
