#include "portal/gui/gamepage.h"

#include "portal/localcontent.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

static void initGamePageResources()
{
    Q_INIT_RESOURCE(webpane);
}

QJsonObject GameRuntimeDefaults()
{
    const QString door = QString::fromLatin1(LocalContent::FONT_SCHEME) + QStringLiteral("://")
        + QString::fromLatin1(LocalContent::HOST) + QLatin1Char('/');
    QJsonArray sources;
    for (const char *file : {"sans.otf", "mono.otf"})
        sources.append(door + QString::fromLatin1(file));
    const QJsonArray sans{QStringLiteral("Noto Sans CJK SC")};
    const QJsonArray mono{QStringLiteral("Noto Sans Mono CJK SC")};
    return {{QStringLiteral("fontSources"), sources},
            {QStringLiteral("defaultFonts"),
             QJsonObject{{QStringLiteral("sans"), sans},
                         {QStringLiteral("serif"), sans},
                         {QStringLiteral("typewriter"), mono},
                         {QStringLiteral("japaneseGothic"), sans},
                         {QStringLiteral("japaneseGothicMono"), mono},
                         {QStringLiteral("japaneseMincho"), sans}}}};
}

void InstallGamePageScript(QWebEnginePage *page)
{
    initGamePageResources();
    QFile file(QStringLiteral(":/portal/gamepage.js"));
    file.open(QIODevice::ReadOnly);
    QFile typing(QStringLiteral(":/portal/gametyping.js"));
    typing.open(QIODevice::ReadOnly);
    const QJsonObject settings{{QStringLiteral("runtime"), GameRuntimeDefaults()},
                               {QStringLiteral("fontScheme"), QString::fromLatin1(LocalContent::FONT_SCHEME)}};

    QWebEngineScript script;
    script.setName(QStringLiteral("kavo-game-page"));
    // The page's own world: the runtime reads its settings there.
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(QStringLiteral("(function () {\n") + QString::fromUtf8(file.readAll())
                         + QStringLiteral("\n") + QString::fromUtf8(typing.readAll())
                         + QStringLiteral("\nkavoGamePage(")
                         + QString::fromUtf8(QJsonDocument(settings).toJson(QJsonDocument::Compact))
                         + QStringLiteral(");\nkavoGameTyping();\n})();\n"));
    QWebEngineScriptCollection &scripts = page->scripts();
    for (const QWebEngineScript &old : scripts.find(script.name()))
        scripts.remove(old);
    scripts.insert(script);
}
