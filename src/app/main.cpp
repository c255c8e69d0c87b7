#include "common/apppaths.h"
#include "common/startuptrace.h"
#include "mainwindow/ba1.h"
#include "portal/gui/webpane.h"
#include "portal/gui/webprofile.h"
#include "shell/gui/xdisplay.h"
#include "startup/displayplatform.h"
#include "startup/enginesandbox.h"
#include "startup/processentry.h"
#include "startup/quitsignals.h"

#include <QApplication>
#include <QDateTime>

#include <cstdio>

#include <unistd.h>

int main(int argc, char *argv[])
{
    StartupTrace("exec");
    // The display platform, before the application object (startup/displayplatform.h).
    const DisplayChoice display = ChooseDisplayPlatform(qgetenv("QT_QPA_PLATFORM"), XDisplayAnswers(),
                                                        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
    if (display.noDisplay) {
        std::fprintf(stderr, "%s\n", display.message.toUtf8().constData());
        return 1;
    }
    if (!display.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", display.platform);
    // The engine gets no security updates; its sandbox stays on unless the
    // user switched it off (startup/enginesandbox.h).
    if (geteuid() == 0
        && !SandboxSwitchedOff(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"),
                               qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"))) {
        std::fprintf(stderr, "%s\n", RootWithoutSandboxMessage().toUtf8().constData());
        return 1;
    }
    // Qt keeps compiled shaders in the user's cache folder; a portable
    // program writes nothing outside its own folder.
    qputenv("QT_DISABLE_SHADER_DISK_CACHE", "1");
    RegisterProgramSchemes();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    StartupTrace("application");
    QApplication::setApplicationName(QStringLiteral("Kavo游戏盒"));
    // Lets the desktop match the window to the installed menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("kavo-gamebox"));

    const AppPaths paths = AppPaths::ForExecutable(QCoreApplication::applicationFilePath());
    PrepareApplicationFolder(paths);
    StartupTrace("folder-ready");

    BA1 window(paths, QStringLiteral(KAVO_PORTAL_BASE));
    if (window.handedOff())
        return 0;
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &window, &BA1::SessionQuit);
    // Opt-in start-up trace for the start-up benchmark (bench/startup_bench.sh):
    // the first load of the portal pane, finished or failed.
    if (qEnvironmentVariableIsSet("KAVO_STARTUP_TRACE")) {
        QObject::connect(window.Web1(), &QWebEngineView::loadFinished, &window, [](bool ok) {
            static bool reported = false;
            if (reported)
                return;
            reported = true;
            std::fprintf(stderr, "kavo-startup loaded %lld ok=%d\n",
                         static_cast<long long>(QDateTime::currentMSecsSinceEpoch()), ok ? 1 : 0);
            std::fflush(stderr);
        });
    }
    StartupTrace("window-built");
    window.show();
    StartupTrace("shown");
    return app.exec();
}
