#include "flash/gui/flashscripts.h"

#include "flash/flashdoor.h"
#include "flash/gui/flashdoors.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

static void initFlashResources()
{
    Q_INIT_RESOURCE(flash);
}

namespace
{
// The most movie elements one document plays: Flash-era pages show one to
// three; each movie has a runtime instance of its own.
constexpr int MAX_MOVIES_PER_DOCUMENT = 16;
// Quiet time after which a movie's load counts as stalled.
constexpr int STALL_MS = 8000;

QString resource(const QString &name)
{
    initFlashResources();
    QFile file(QStringLiteral(":/flash/") + name);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

// The scripts' sources and their calls, in a closure of their own.
QWebEngineScript scriptOf(const QString &name, const QStringList &files, const QString &calls)
{
    QWebEngineScript script;
    script.setName(name);
    // The page's own world: the runtime reads its settings there.
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setRunsOnSubFrames(true);
    QString source = QStringLiteral("(function () {\n");
    for (const QString &file : files)
        source += resource(file) + QLatin1Char('\n');
    script.setSourceCode(source + calls + QStringLiteral("\n})();\n"));
    return script;
}

QString callOf(const QString &function, const QJsonObject &settings)
{
    return function + QLatin1Char('(') + QString::fromUtf8(QJsonDocument(settings).toJson(QJsonDocument::Compact))
        + QStringLiteral(");");
}

void replaceScript(QWebEngineScriptCollection &scripts, const QWebEngineScript &script)
{
    for (const QWebEngineScript &old : scripts.find(script.name()))
        scripts.remove(old);
    scripts.insert(script);
}
} // namespace

QJsonObject FlashRuntimeDefaults()
{
    QJsonArray sources;
    for (const QString &font : FlashDoor::FontUrls())
        sources.append(font);
    const QJsonArray sans{QStringLiteral("Noto Sans CJK SC")};
    const QJsonArray mono{QStringLiteral("Noto Sans Mono CJK SC")};
    return {{QStringLiteral("autoplay"), QStringLiteral("on")},
            {QStringLiteral("unmuteOverlay"), QStringLiteral("hidden")},
            {QStringLiteral("splashScreen"), false},
            {QStringLiteral("preferredRenderer"), QStringLiteral("canvas")},
            {QStringLiteral("letterbox"), QStringLiteral("on")},
            {QStringLiteral("showSwfDownload"), false},
            {QStringLiteral("warnOnUnsupportedContent"), false},
            {QStringLiteral("logLevel"), QStringLiteral("warn")},
            {QStringLiteral("fontSources"), sources},
            {QStringLiteral("defaultFonts"),
             QJsonObject{{QStringLiteral("sans"), sans},
                         {QStringLiteral("serif"), sans},
                         {QStringLiteral("typewriter"), mono},
                         {QStringLiteral("japaneseGothic"), sans},
                         {QStringLiteral("japaneseGothicMono"), mono},
                         {QStringLiteral("japaneseMincho"), sans}}}};
}

void InstallFlashPageScript(QWebEngineProfile *profile)
{
    const QJsonObject settings{{QStringLiteral("door"), FlashDoor::Base()},
                               {QStringLiteral("runtime"), FlashRuntimeDefaults()},
                               {QStringLiteral("maxMovies"), MAX_MOVIES_PER_DOCUMENT}};
    replaceScript(*profile->scripts(), scriptOf(QStringLiteral("kavo-flash"), {QStringLiteral("flashpage.js")},
                                                callOf(QStringLiteral("kavoFlashPage"), settings)));
}

void InstallGamePageScript(QWebEnginePage *page)
{
    const QJsonObject settings{{QStringLiteral("door"), FlashDoor::Base()},
                               {QStringLiteral("token"), FlashDoors::AllowFetch(page)},
                               {QStringLiteral("stallMs"), STALL_MS}};
    // Typing through the input method comes in the same closure.
    replaceScript(page->scripts(),
                  scriptOf(QStringLiteral("kavo-game-page"), {QStringLiteral("gamepage.js"), QStringLiteral("gametyping.js")},
                           callOf(QStringLiteral("kavoGamePage"), settings) + QStringLiteral("\nkavoGameTyping();")));
}
