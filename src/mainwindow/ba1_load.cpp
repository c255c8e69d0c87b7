// The main window's load sequence.
#include "mainwindow/ba1.h"

#include "common/startuptrace.h"
#include "lists/listfile.h"
#include "portal/gui/webpane.h"
#include "services/statistics.h"
#include "shell/framegeometry.h"
#include "shell/gui/windowhooks.h"
#include "startup/handoff.h"
#include "startup/leftoverfiles.h"
#include "startup/settingsstore.h"
#include "startup/singleinstance.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace
{
// Window sizes in config.ini are twips: 15 to a pixel at 96 dpi.
constexpr int TWIPS_PER_PIXEL = 15;
// How long a second start waits for the running instance to answer; the
// running instance may still be loading its window.
constexpr int HAND_OFF_TIMEOUT_MS = 3000;
}

bool BA1::HandOffStart()
{
    auto *instance = new SingleInstance(SingleInstanceNameFor(m_paths), this);
    if (!instance->isRunningInstance()) {
        // Whether or not anybody answers, this start ends here.
        instance->handOff(CommandLineText(QCoreApplication::arguments().mid(1)), HAND_OFF_TIMEOUT_MS);
        delete instance;
        return true;
    }
    connect(instance, &SingleInstance::handedOver, this, &BA1::Form_LinkExecute);
    // This process is the running instance from here on, so the temporary
    // files a killed run left behind can go: no other instance renames them.
    RemoveLeftoverFiles(m_paths);
    return false;
}

void BA1::Form_Load()
{
    // 1. The hand-off to a running instance ran before the controls were
    //    built (HandOffStart); this process is the running instance.

    // 2. The desktop work area.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        WorkArea = screen->availableGeometry();
    WorkAreaWidth = WorkArea.width();
    WorkAreaHeight = WorkArea.height();

    // 3. Size-limit hook: the window can be dragged to any size up to the work area.
    //    On a work area smaller than the window's smallest size (a small
    //    screen, a large scale factor) the work area is the floor as well.
    setMinimumSize(FrameGeometry::MinimumSizeOn(WorkArea.size()));
    m_minMaxHook = HookMinMax(this, 0, 0, WorkAreaWidth, WorkAreaHeight);

    // 4. The captionless window still minimises and maximises through the system.
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);

    // 5. Settings the load needs.
    ConfigPath = m_paths.configPath();
    m_userId = ReadIniValue(ConfigPath, QStringLiteral("main"), QStringLiteral("user"), QStringLiteral("0"));
    InstalledVersion = ReadIniValue(ConfigPath, QStringLiteral("main"), QStringLiteral("Ver"), QStringLiteral("0"));

    // 6. The saved window size.
    const auto readInt = [this](const char *key) {
        return ReadIniValue(ConfigPath, QStringLiteral("S_q"), QString::fromLatin1(key), QStringLiteral("0")).trimmed().toInt();
    };
    if (readInt("s_size") == 2) {
        const int w = readInt("h_w") / TWIPS_PER_PIXEL;
        const int h = readInt("h_h") / TWIPS_PER_PIXEL;
        if (w > 0 && h > 0)
            resize(w, h);
    }
    // Saved on a larger screen, or the first-run size: the window fits on this one.
    resize(FrameGeometry::FitOn(size(), WorkArea.size()));

    // 7. Skin and layout; ends by showing the recent-games list.
    p_p(0);

    StartupTrace("panes-navigate");
    // 8. First navigation of every pane; no pane waits for another.
    Web1->Navigate(m_portalBase);
    Web2->Navigate(QStringLiteral("about:blank"));
    Webr->Navigate(QStringLiteral("about:blank"));
    Web3->Navigate(m_paths.dataFile(PageNameFor(RecentListFile())));
    Web4->Navigate2(m_portalBase + QStringLiteral("yy"));
    Web5->Navigate2(m_portalBase + QStringLiteral("dan"));
    adweb->Navigate(m_portalBase + QStringLiteral("js/ads/topad.html"));
    Web6->Navigate(StatisticsAddress(m_portalBase, m_userId));

    // 9. Initial state.
    CurrentTab = 6;
    PortalErrorShown = 0;
    TopAdFailed = 0;
    CurrentGameUrl = QStringLiteral("0");
    FullScreenGame = 0;
    DownloadState = QStringLiteral("0");
    CurrentGameName = QStringLiteral("0");

    // 10. The notification-area icon, with the menu r_m.
    TrayAdd();

    // 11. The boss key.
    InstallBossKey();
}
