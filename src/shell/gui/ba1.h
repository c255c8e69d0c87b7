#pragma once

#include "common/apppaths.h"

#include <QRect>
#include <QString>
#include <QWidget>

class QStackedWidget;
class QTabBar;
class WebPane;

// The main window. It owns every piece of state shared between the
// subsystems; each subsystem adds its handlers in its own folder.
class BA1 : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BA1)

public:
    BA1(const AppPaths &paths, const QString &portalBase, QWidget *parent = nullptr);
    ~BA1() override;

    const AppPaths &paths() const { return m_paths; }
    QString portalBase() const { return m_portalBase; }
    QString userId() const { return m_userId; }

    // Window state shared between the subsystems.
    QString ConfigPath;
    QRect WorkArea;
    int WorkAreaWidth = 0;
    int WorkAreaHeight = 0;
    QString InstalledVersion;
    int CurrentTab = 6;
    QString CurrentGameUrl = QStringLiteral("0");
    QString CurrentGameName = QStringLiteral("0");
    int FullScreenGame = 0;
    QString DownloadState = QStringLiteral("0");
    int PortalErrorShown = 0;
    int TopAdFailed = 0;
    QString ContextGameLink;
    QString LatestVersion;
    QString ExitPromoFlag;

    // Browser panes.
    WebPane *Web1 = nullptr;  // portal
    WebPane *Web2 = nullptr;  // game player
    WebPane *Web3 = nullptr;  // list page
    WebPane *Web4 = nullptr;  // fourth page
    WebPane *Web5 = nullptr;  // fifth page
    WebPane *Web6 = nullptr;  // statistics request
    WebPane *Webr = nullptr;  // game information, side panel of the game page
    WebPane *adweb = nullptr; // top promotion

    // The five pages zz(0)..zz(4).
    QWidget *zz[5] = {};

private:
    void createControls();
    void Form_Load();

    AppPaths m_paths;
    QString m_portalBase;
    QString m_userId;
    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_pages = nullptr;
};
