#include "portal/gui/webprofile.h"

#include "common/startuptrace.h"
#include "flash/gui/flashdoors.h"
#include "flash/gui/flashscripts.h"
#include "portal/gui/panedrawing.h"
#include "shell/gui/programlanguage.h"
#include "portal/localcontent.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

namespace
{

// A door: sends the files its decision (LocalContent::Answer)
// allows, read-only; everything else is not found.
class LocalContentHandler final : public QWebEngineUrlSchemeHandler
{
public:
    using Decision = std::optional<LocalContent::File> (*)(const AppPaths &, const LocalContent::Request &);

    LocalContentHandler(const AppPaths &paths, Decision decide, QObject *parent)
        : QWebEngineUrlSchemeHandler(parent), m_paths(paths), m_decide(decide)
    {
    }

    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        const auto file = m_decide(m_paths, {job->requestMethod(), job->requestUrl(), job->initiator()});
        if (!file) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto *device = new QFile(file->path, job);
        if (!device->open(QIODevice::ReadOnly)) {
            delete device;
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        job->reply(file->mimeType, device);
    }

private:
    AppPaths m_paths;
    Decision m_decide;
};

// The engine sets a named profile up in the user's data and cache folders
// (QtWebEngine/<name>/user_prefs.json and so on) before its storage path can
// be changed. Pointing the XDG folders into the profile's own storage while
// the profile is built keeps those writes there too; the previous values come
// back as soon as it stands.
class EngineHomeRedirect
{
public:
    explicit EngineHomeRedirect(const QString &engineHome)
    {
        QDir().mkpath(engineHome);
        for (const Variable &v : m_saved) {
            const QString value = engineHome + QLatin1Char('/') + QString::fromLatin1(v.folder);
            QDir().mkpath(value);
            qputenv(v.name, QFile::encodeName(value));
        }
    }
    ~EngineHomeRedirect()
    {
        for (const Variable &v : m_saved) {
            if (v.wasSet)
                qputenv(v.name, v.value);
            else
                qunsetenv(v.name);
        }
    }
    Q_DISABLE_COPY_MOVE(EngineHomeRedirect)

private:
    struct Variable
    {
        const char *name;
        const char *folder;
        bool wasSet;
        QByteArray value;
    };
    Variable m_saved[2] = {
        {"XDG_DATA_HOME", "data", qEnvironmentVariableIsSet("XDG_DATA_HOME"), qgetenv("XDG_DATA_HOME")},
        {"XDG_CACHE_HOME", "cache", qEnvironmentVariableIsSet("XDG_CACHE_HOME"), qgetenv("XDG_CACHE_HOME")},
    };
};

const char DRIVER_CACHE_VARIABLE[] = "MESA_SHADER_CACHE_DIR";

// Unsets the driver's shader cache folder when a game box chose it (the
// folder ends in webdata/mesa_shader_cache); true when it did. Such a choice
// comes with the environment from the game box that started this one, and
// its folder may be gone: the driver, which starts with the application
// object, would say so at each start.
bool ForgetGameBoxDriverCache()
{
    if (!qgetenv(DRIVER_CACHE_VARIABLE).endsWith("/webdata/mesa_shader_cache"))
        return false;
    qunsetenv(DRIVER_CACHE_VARIABLE);
    return true;
}

// The engine's report of its set-up, printed as it starts.
const char ENGINE_REPORT_RULE[] = "qt.webenginecontext.info=false";

// The engine also says that the user switched its sandbox off, as an
// information message of the default category. The program writes its own
// messages as warnings or directly, but tests and tools report with such
// messages, so the category is quiet only while the engine starts, that is
// while the first profile is built.
class QuietEngineStart
{
public:
    QuietEngineStart() : m_quiet(!EngineLogWanted())
    {
        if (m_quiet)
            QLoggingCategory::setFilterRules(QString::fromLatin1(ENGINE_REPORT_RULE)
                                             + QStringLiteral("\ndefault.info=false"));
    }
    ~QuietEngineStart()
    {
        if (m_quiet)
            QLoggingCategory::setFilterRules(QString::fromLatin1(ENGINE_REPORT_RULE));
    }
    Q_DISABLE_COPY_MOVE(QuietEngineStart)

private:
    bool m_quiet;
};

} // namespace

bool EngineLogWanted()
{
    const QByteArray value = qgetenv("KAVO_ENGINE_LOG");
    return !value.isEmpty() && value != "0";
}

QByteArray EngineArguments(const QByteArray &userArguments, bool engineLog)
{
    // The process model. Sites are isolated strictly: every site gets
    // processes of its own, so a portal page and a page of the program's
    // own scheme (the list pages, the local player) never share a renderer.
    // Letting pages share renderers (--renderer-process-limit=2) would
    // save about 100 ms of the renderers' processor time and 35 MB at
    // start-up, but it is not safe with this engine: above the limit the
    // panes' first, empty documents share renderers, their first
    // navigations then go to different sites at once (the portal, the
    // program's scheme), and the engine killed such a shared renderer for
    // committing a page of a site it was not kept for ("bad IPC message",
    // reason 1), taking every pane in it along: the list page, the portal
    // panes, a downloaded game. Seen on a start with the portal down,
    // depending on timing. So every page keeps its renderer.
    // With sites isolated the engine also starts a spare renderer ahead of
    // the next navigation to a new site. The window already starts eight
    // renderers at once (one per pane), so the spare only competes with
    // them for the processor while the portal loads and holds memory
    // afterwards: it is switched off. A later navigation to a new site
    // starts its renderer then.
    // The user's own arguments come after these, so theirs win (a
    // --disable-features of their own replaces this one).
    // The engine's own language (its error pages, its menus) is the program's.
    // Its log lines on standard error stop at fatal errors unless asked for.
    QByteArray arguments = QByteArrayLiteral("--site-per-process --disable-features=SpareRendererForSitePerProcess --lang=")
        + ProgramLanguage::ENGINE_LOCALE;
    if (!engineLog)
        arguments += " --log-level=3";
    if (!userArguments.trimmed().isEmpty())
        arguments += ' ' + userArguments.trimmed();
    return arguments;
}

void RegisterProgramSchemes()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    // The engine reads its arguments and the locale when the first profile is
    // made.
    UseProgramLanguage();
    const bool engineLog = EngineLogWanted();
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", EngineArguments(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), engineLog));
    if (!engineLog)
        QLoggingCategory::setFilterRules(QString::fromLatin1(ENGINE_REPORT_RULE));
    ChoosePaneDrawing();
    ForgetGameBoxDriverCache();
    // Secure, so that pages served by the door get a normal secure origin
    // (kavo://app) with working XMLHttpRequest. Not CORS-enabled: the engine
    // checks no answer of a CORS-enabled custom scheme for the server's
    // consent, so every web page could read the door with XMLHttpRequest.
    // The program's own pages need no CORS: the local player reads its
    // movie from its own origin (the runtime comes from the Flash door). The door itself refuses
    // every request a web page makes (LocalContent::Answer); without the
    // flag the engine also refuses a cross-origin XMLHttpRequest or fetch
    // before it reaches the door.
    QWebEngineUrlScheme scheme{QByteArray(LocalContent::SCHEME)};
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
    // The Flash runtime's door is read by every page.
    FlashDoors::RegisterScheme();
}

Q_CONSTRUCTOR_FUNCTION(RegisterProgramSchemes)

namespace
{
// Names the profile with the redirection and the quiet start in force; both
// end with the full expression, that is once the base profile is built.
QString redirectedProfileName(EngineHomeRedirect &&, QuietEngineStart &&)
{
    return QStringLiteral("kavo");
}

// A portable folder keeps the graphics driver's shader cache inside it too
// (Mesa writes ~/.cache/mesa_shader_cache otherwise); an installed program
// keeps the desktop's cache folder, and a user's own choice stays.
const AppPaths &keepDriverCacheInside(const AppPaths &paths)
{
    // A choice left by an earlier profile of the process is replaced.
    if (qEnvironmentVariableIsSet(DRIVER_CACHE_VARIABLE) && !ForgetGameBoxDriverCache())
        return paths;
    if (!paths.isPerUser()) {
        const QString folder = paths.webDataDir() + QStringLiteral("/mesa_shader_cache");
        QDir().mkpath(folder);
        qputenv(DRIVER_CACHE_VARIABLE, QFile::encodeName(folder));
    }
    return paths;
}
} // namespace

ProgramProfile::ProgramProfile(const AppPaths &paths, QObject *parent)
    : QWebEngineProfile(redirectedProfileName(EngineHomeRedirect(keepDriverCacheInside(paths).webDataDir()
                                                                 + QStringLiteral("/engine")),
                                              QuietEngineStart()),
                        parent)
    , m_paths(paths)
{
    const QString store = paths.webDataDir();
    QDir().mkpath(store);
    setPersistentStoragePath(store);
    setCachePath(store + QStringLiteral("/cache"));
    setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    setHttpCacheMaximumSize(int(HttpCacheLimit));
    setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    installUrlSchemeHandler(QByteArray(LocalContent::SCHEME),
                            new LocalContentHandler(paths, &LocalContent::Answer, this));
    // The Flash runtime is part of every page, as the plug-in was.
    FlashDoors::Install(this, paths);
    InstallFlashPageScript(this);
    // The program speaks Chinese, whatever the system's language: pages, the
    // engine's own pages and the Flash runtime's menus follow this.
    setHttpAcceptLanguage(QString::fromLatin1(ProgramLanguage::ACCEPT_LANGUAGE));
    StartupTrace("web-profile-ready");
}

ProgramProfile::~ProgramProfile() = default;

QUrl ProgramProfile::urlForLocalPath(const QString &localPath) const
{
    return LocalContent::UrlForLocalPath(m_paths, localPath);
}
