// The main window's load sequence.
#include "mainwindow/ba1.h"

#include "mainwindow/gamepagepart.h"
#include "mainwindow/listpagepart.h"

#include "common/startuptrace.h"
#include "common/twips.h"
#include "lists/listfile.h"
#include "portal/gui/webpane.h"
#include "services/statistics.h"
#include "shell/framegeometry.h"
#include "shell/gui/windowhooks.h"
#include "startup/handoff.h"
#include "startup/leftoverfiles.h"
#include "startup/settings.h"
#include "startup/singleinstance.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace
{
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
        m_state.WorkArea = screen->availableGeometry();
    m_state.WorkAreaWidth = m_state.WorkArea.width();
    m_state.WorkAreaHeight = m_state.WorkArea.height();

    // 3. Size-limit hook: the window can be dragged to any size up to the work area.
    //    On a work area smaller than the window's smallest size (a small
    //    screen, a large scale factor) the work area is the floor as well.
    setMinimumSize(FrameGeometry::MinimumSizeOn(m_state.WorkArea.size()));
    m_minMaxHook = HookMinMax(this, 0, 0, m_state.WorkAreaWidth, m_state.WorkAreaHeight);

    // 4. The captionless window still minimises and maximises through the system.
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);

    // 5. Settings the load needs.
    m_state.ConfigPath = m_paths.configPath();
    m_userId = Settings::Read(m_state.ConfigPath, Settings::USER);
    m_state.InstalledVersion = Settings::Read(m_state.ConfigPath, Settings::VER);

    // 6. The saved window size.
    const QString &config = m_state.ConfigPath;
    if (Settings::Read(config, Settings::S_SIZE) == 2) {
        const int w = TwipsToPixels(Settings::Read(config, Settings::H_W));
        const int h = TwipsToPixels(Settings::Read(config, Settings::H_H));
        if (w > 0 && h > 0)
            resize(w, h);
    }
    // Saved on a larger screen, or the first-run size: the window fits on this one.
    resize(FrameGeometry::FitOn(size(), m_state.WorkArea.size()));

    // 7. Skin and layout; ends by showing the recent-games list.
    p_p(0);

    StartupTrace("panes-navigate");
    // 8. First navigation of every pane; no pane waits for another.
    m_Web1->Navigate(m_portalBase);
    m_game->Web2()->Navigate(QStringLiteral("about:blank"));
    m_game->Webr()->Navigate(QStringLiteral("about:blank"));
    m_list->Web3()->Navigate(m_paths.dataFile(PageNameFor(RecentListFile())));
    m_Web4->Navigate2(m_portalBase + QStringLiteral("yy"));
    m_Web5->Navigate2(m_portalBase + QStringLiteral("dan"));
    m_adweb->Navigate(m_portalBase + QStringLiteral("js/ads/topad.html"));
    m_Web6->Navigate(StatisticsAddress(m_portalBase, m_userId));

    // 9. Initial state.
    m_state.CurrentTab = Caption::PortalTab;
    m_state.PortalErrorShown = false;
    m_state.TopAdFailed = false;
    m_state.CurrentGameUrl.clear();
    m_state.FullScreenGame = false;
    m_state.CurrentGameName = QStringLiteral("0");

    // 10. The notification-area icon, with the menu r_m.
    TrayAdd();

    // 11. The boss key.
    InstallBossKey();
}
