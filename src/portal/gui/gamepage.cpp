#include "portal/gui/gamepage.h"

#include <QFile>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

static void initGamePageResources()
{
    Q_INIT_RESOURCE(webpane);
}

void InstallGamePageScript(QWebEnginePage *page, const QJsonObject &runtimeDefaults)
{
    initGamePageResources();
    QFile file(QStringLiteral(":/portal/gamepage.js"));
    file.open(QIODevice::ReadOnly);
    const QJsonObject settings{{QStringLiteral("runtime"), runtimeDefaults}};

    QWebEngineScript script;
    script.setName(QStringLiteral("kavo-game-page"));
    // The page's own world: the runtime reads its settings there.
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(QStringLiteral("(function () {\n") + QString::fromUtf8(file.readAll())
                         + QStringLiteral("\nkavoGamePage(")
                         + QString::fromUtf8(QJsonDocument(settings).toJson(QJsonDocument::Compact))
                         + QStringLiteral(");\n})();\n"));
    QWebEngineScriptCollection &scripts = page->scripts();
    for (const QWebEngineScript &old : scripts.find(script.name()))
        scripts.remove(old);
    scripts.insert(script);
}
