// The game toolbar of the main window against the demo portal: each button's
// effect and images in both states, the mute of a private sound server, the
// screenshot files on a desktop in a temporary folder, and full screen.
#include "support/core/files.h"
#include "support/gamebox.h"

#include "resources/skinrects.h"
#include "support/portalserver.h"
#include "support/pulsedaemon.h"
#include "support/x11probe.h"

#include "download/gui/bkdlcontrol.h"
#include "lists/gamelist.h"
#include "shell/gui/picturebox.h"
#include "shell/gui/trayicon.h"
#include "support/eventwait.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QtTest>

using namespace SkinRects;

namespace
{
// The window manager's state on the window: maximised both ways.
bool maximisedState(const QWidget *w)
{
    const QStringList state = X11Probe::netWmState(X11Probe::Window(w->winId()));
    return state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ"))
        && state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT"));
}
} // namespace

namespace
{

// A picture of the whole state the toolbar can change.
struct ToolbarState
{
    QStringList tips;
    QList<QImage> images;
    bool paneHidden;
    bool sidePanelHidden;
    int fullScreen;
    QString status;
    QString balloon;
    QString gameName;

    static ToolbarState of(const BA1 *w)
    {
        ToolbarState s;
        for (int i = 0; i < Tool::Count; ++i) {
            const ImageButton *b = w->game()->c_z(i);
            s.tips << b->toolTipText();
            s.images << b->image();
        }
        s.paneHidden = w->game()->Web2()->isHidden();
        s.sidePanelHidden = w->game()->Pic2()->isHidden();
        s.fullScreen = w->state().FullScreenGame;
        s.status = w->game()->lblCount()->text();
        s.balloon = w->tray()->lastBalloon().text;
        s.gameName = w->state().CurrentGameName;
        return s;
    }
    bool operator==(const ToolbarState &o) const
    {
        return tips == o.tips && images == o.images && paneHidden == o.paneHidden
            && sidePanelHidden == o.sidePanelHidden && fullScreen == o.fullScreen && status == o.status
            && balloon == o.balloon && gameName == o.gameName;
    }
};
} // namespace

class TestUiToolbar : public QObject
{
    Q_OBJECT

private:
    PulseDaemon m_pulse;
    QString m_pulseSkip;
    QTemporaryDir m_desk;
    PortalServer m_portal;
    std::unique_ptr<GameBox> m_game;
    BA1 *w = nullptr;
    bool m_playing = false;

    QString desktop() const { return m_desk.filePath(QStringLiteral("桌面")); }
    QString command(const QString &name) const
    {
        return QStringLiteral("tuzoflash://101$$$%1games/101.swf$$$%2").arg(m_portal.baseUrl(), name);
    }
    // Game 101 running in the pane as "风车", drawn at least once.
    void ensurePlaying()
    {
        if (!m_playing || w->state().CurrentGameName != QStringLiteral("风车")) {
            playAs(QStringLiteral("风车"));
            QCOMPARE(w->state().CurrentTab, Caption::GameTab);
            QVERIFY2(waitForGamePicture(w->game()->Web2()), "the game never showed");
            m_playing = true;
        }
        if (w->game()->Web2()->isHidden())
            w->c_z_click(Tool::StopContinue);
        QCOMPARE(w->game()->c_z(Tool::StopContinue)->toolTipText(), QStringLiteral("停止"));
    }
    // The portal's play command of game 101 under the name `name`.
    void playAs(const QString &name) { m_game->play(command(name)); }
    QStringList screenshotsIn(const QString &folder) const
    {
        return QDir(desktop() + QLatin1Char('/') + folder).entryList(QDir::Files);
    }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void noGameLeavesEveryButtonInert();
    void stopAndContinue();
    void reloadResumesAPausedGame();
    void plainButtonsHover();
    void muteFollowsTheClicks();
    void sidePanel();
    void favouriteAndPointsGame();
    void screenshotIsABitmapOfThePane();
    void screenshotFolderName_data();
    void screenshotFolderName();
    void screenshotThatCannotBeSaved();
    void fullScreenAndLeavingIt();
};

void TestUiToolbar::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("js=false"));
    // The sound server's environment first: it moves HOME and the config
    // folder, where the desktop's place is then written.
    m_pulseSkip = m_pulse.start();
    if (!m_pulseSkip.isEmpty())
        qWarning("%s", qPrintable(m_pulseSkip));
    QVERIFY(m_desk.isValid());
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) {
        config = m_desk.filePath(QStringLiteral("config"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    }
    QVERIFY(QDir().mkpath(config));
    QVERIFY(WriteFile(config + QStringLiteral("/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"" + QFile::encodeName(desktop()) + "\"\n"));
    QVERIFY(QDir().mkpath(desktop()));

    QVERIFY2(m_portal.start(), qPrintable(m_portal.errorString()));
    m_game = std::make_unique<GameBox>(m_portal.baseUrl());
    w = m_game->w.get();
    QVERIFY(m_game->show());
}

void TestUiToolbar::cleanupTestCase()
{
    m_game.reset();
    m_pulse.stop();
}

void TestUiToolbar::noGameLeavesEveryButtonInert()
{
    QVERIFY(w->state().CurrentGameUrl.isEmpty());
    MessageAnswer boxes(QMessageBox::Ok);
    const ToolbarState before = ToolbarState::of(w);
    const QString mute = m_pulseSkip.isEmpty() ? PulseDaemon::muteOf(QStringLiteral("@DEFAULT_SINK@")) : QString();
    for (int i = -1; i <= 9; ++i)
        w->c_z_click(i);
    // A real click as well.
    QTest::mouseClick(w->game()->c_z(Tool::StopContinue), Qt::LeftButton, {}, QPoint(10, 10));
    // Whatever the clicks left queued has run (a message box would have been
    // modal inside the click).
    QVERIFY(KavoTest::Settle());
    QVERIFY(ToolbarState::of(w) == before);
    QVERIFY(!w->isMaximized());
    QVERIFY(boxes.texts.isEmpty());
    QVERIFY(!w->DL()->isDownloading());
    QVERIFY(QDir(desktop()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    if (m_pulseSkip.isEmpty())
        QCOMPARE(PulseDaemon::muteOf(QStringLiteral("@DEFAULT_SINK@")), mute);
}

void TestUiToolbar::stopAndContinue()
{
    ensurePlaying();
    ImageButton *b = w->game()->c_z(Tool::StopContinue);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(w->game()->Web2()->isHidden());
    QCOMPARE(b->toolTipText(), QStringLiteral("继续"));
    QVERIFY(showsFrame(b, w->ppt(Strip::StopMute), CONTINUE));
    QCOMPARE(w->game()->tingzhi()->text(), QStringLiteral("当前游戏已经暂停"));
    // The label under the pane is what shows now.
    QVERIFY(w->game()->tingzhi()->isVisible());
    // Paused images: hover (135, 0), rest (90, 0).
    w->c_z_MouseMove(Tool::StopContinue, {}, {}, QPoint(45, 25));
    QVERIFY(showsFrame(b, w->ppt(Strip::StopMute), Hover(CONTINUE)));
    w->c_z_MouseMove(Tool::StopContinue, {}, {}, QPoint(46, 3));
    QVERIFY(showsFrame(b, w->ppt(Strip::StopMute), CONTINUE));

    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!w->game()->Web2()->isHidden());
    QCOMPARE(b->toolTipText(), QStringLiteral("停止"));
    QVERIFY(showsFrame(b, w->ppt(Strip::StopMute), STOP));
    w->c_z_MouseMove(Tool::StopContinue, {}, {}, QPoint(0, 0));
    QVERIFY(showsFrame(b, w->ppt(Strip::StopMute), Hover(STOP)));
    w->c_z_MouseMove(Tool::StopContinue, {}, {}, ImageButton::outsidePoint());
    QVERIFY(showsFrame(b, w->ppt(Strip::StopMute), STOP));

    // The pane's own visibility decides, not whether the page is on screen:
    // on another tab the game still counts as running.
    w->npc_Click(Caption::PortalTab);
    w->c_z_click(Tool::StopContinue);
    QVERIFY(w->game()->Web2()->isHidden());
    w->c_z_click(Tool::StopContinue);
    QVERIFY(!w->game()->Web2()->isHidden());
    w->npc_Click(Caption::GameTab);
}

void TestUiToolbar::reloadResumesAPausedGame()
{
    ensurePlaying();
    const auto playerLoads = [this] {
        return m_portal.requests().filter(QRegularExpression(QStringLiteral("^/flash\\.htm\\?"))).size();
    };
    const int loadsBefore = playerLoads();
    w->c_z_click(Tool::StopContinue);
    QVERIFY(w->game()->Web2()->isHidden());

    w->game()->c_z(Tool::Reload)->paintFrom(w->ppt(Strip::ToolsHover), ToolFrame(0));
    QTest::mouseClick(w->game()->c_z(Tool::Reload), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!w->game()->Web2()->isHidden());
    QCOMPARE(w->game()->c_z(Tool::StopContinue)->toolTipText(), QStringLiteral("停止"));
    QVERIFY(showsFrame(w->game()->c_z(Tool::StopContinue), w->ppt(Strip::StopMute), STOP));
    QVERIFY(showsFrame(w->game()->c_z(Tool::Reload), w->ppt(Strip::Tools), ToolFrame(0)));
    // The player page is fetched again from the portal.
    QTRY_VERIFY_WITH_TIMEOUT(playerLoads() > loadsBefore, 10000);
    QVERIFY2(waitForGamePicture(w->game()->Web2()), "the game did not come back after the reload");
}

void TestUiToolbar::plainButtonsHover()
{
    ensurePlaying();
    const int plain[5] = {Tool::Reload, Tool::Favourite, Tool::Screenshot, Tool::Download, Tool::FullScreen};
    for (int k = 0; k < 5; ++k) {
        ImageButton *b = w->game()->c_z(plain[k]);
        // The right and bottom edges are inside.
        w->c_z_MouseMove(plain[k], {}, {}, QPoint(45, 25));
        QVERIFY2(showsFrame(b, w->ppt(Strip::ToolsHover), ToolFrame(k)), qPrintable(QString::number(plain[k])));
        w->c_z_MouseMove(plain[k], {}, {}, QPoint(45, 26));
        QVERIFY2(showsFrame(b, w->ppt(Strip::Tools), ToolFrame(k)), qPrintable(QString::number(plain[k])));
    }
    w->c_z_MouseMove(Tool::LeaveFullScreen, {}, {}, QPoint(55, 20));
    QVERIFY(showsFrame(w->game()->c_z(Tool::LeaveFullScreen), w->ppt(Strip::LeaveFullScreen), Hover(LEAVE_FULL_SCREEN)));
    w->c_z_MouseMove(Tool::LeaveFullScreen, {}, {}, QPoint(-1, 5));
    QVERIFY(showsFrame(w->game()->c_z(Tool::LeaveFullScreen), w->ppt(Strip::LeaveFullScreen), LEAVE_FULL_SCREEN));
    // Other indexes draw nothing and do not fail.
    w->c_z_MouseMove(Tool::Count, {}, {}, QPoint(1, 1));
    w->c_z_MouseMove(-1, {}, {}, QPoint(1, 1));

    // The pointer itself: entering shows the hover image, leaving the normal one.
    ImageButton *reload = w->game()->c_z(Tool::Reload);
    QTest::mouseMove(w, reload->mapTo(w, QPoint(20, 12)));
    QTRY_VERIFY_WITH_TIMEOUT(showsFrame(reload, w->ppt(Strip::ToolsHover), ToolFrame(0)), 2000);
    QTest::mouseMove(w, w->game()->Picd()->mapTo(w, QPoint(w->game()->Picd()->width() / 2, 2)));
    QTRY_VERIFY_WITH_TIMEOUT(showsFrame(reload, w->ppt(Strip::Tools), ToolFrame(0)), 2000);
}

void TestUiToolbar::muteFollowsTheClicks()
{
    ensurePlaying();
    ImageButton *b = w->game()->c_z(Tool::Mute);
    QCOMPARE(b->toolTipText(), QStringLiteral("静音"));
    const bool server = m_pulseSkip.isEmpty();
    if (server)
        QVERIFY(PulseDaemon::pactl({QStringLiteral("set-sink-mute"), QStringLiteral("kavotest"), QStringLiteral("0")}));

    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(b->toolTipText(), QStringLiteral("取消"));
    if (server)
        QCOMPARE(PulseDaemon::muteOf(QStringLiteral("@DEFAULT_SINK@")), QStringLiteral("yes"));
    w->c_z_MouseMove(Tool::Mute, {}, {}, QPoint(3, 3));
    QVERIFY(showsFrame(b, w->ppt(Strip::StopMute), Hover(UNMUTE)));
    w->c_z_MouseMove(Tool::Mute, {}, {}, ImageButton::outsidePoint());
    QVERIFY(showsFrame(b, w->ppt(Strip::StopMute), UNMUTE));

    w->c_z_click(Tool::Mute);
    QCOMPARE(b->toolTipText(), QStringLiteral("静音"));
    if (server)
        QCOMPARE(PulseDaemon::muteOf(QStringLiteral("@DEFAULT_SINK@")), QStringLiteral("no"));
    w->c_z_MouseMove(Tool::Mute, {}, {}, QPoint(3, 3));
    QVERIFY(showsFrame(b, w->ppt(Strip::StopMute), Hover(MUTE)));
    w->c_z_MouseMove(Tool::Mute, {}, {}, ImageButton::outsidePoint());
    QVERIFY(showsFrame(b, w->ppt(Strip::StopMute), MUTE));

    // Without a sound server the state text still follows the clicks.
    PulseDaemon::setServer(m_pulse.tempPath(QStringLiteral("nobody-here")));
    w->c_z_click(Tool::Mute);
    QCOMPARE(b->toolTipText(), QStringLiteral("取消"));
    w->c_z_click(Tool::Mute);
    QCOMPARE(b->toolTipText(), QStringLiteral("静音"));
    m_pulse.useServer();
}

void TestUiToolbar::sidePanel()
{
    ensurePlaying();
    ImageButton *b = w->game()->c_z(Tool::SidePanel);
    QCOMPARE(b->toolTipText(), QStringLiteral("隐藏"));
    QVERIFY(w->game()->Pic2()->isVisible());
    const int withPanel = w->game()->picf()->width();
    w->c_z_MouseMove(Tool::SidePanel, {}, {}, QPoint(26, 26));
    QVERIFY(showsFrame(b, w->ppt(Strip::SidePanel), Hover(SIDE_PANEL_SHOWN)));

    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(b->toolTipText(), QStringLiteral("显示"));
    QVERIFY(showsFrame(b, w->ppt(Strip::SidePanel), SIDE_PANEL_HIDDEN));
    QVERIFY(w->game()->Pic2()->isHidden());
    QCOMPARE(w->game()->picf()->width(), w->zz(1)->width());
    QVERIFY(w->game()->picf()->width() > withPanel);
    w->c_z_MouseMove(Tool::SidePanel, {}, {}, QPoint(5, 5));
    QVERIFY(showsFrame(b, w->ppt(Strip::SidePanel), Hover(SIDE_PANEL_HIDDEN)));
    w->c_z_MouseMove(Tool::SidePanel, {}, {}, QPoint(27, 5));
    QVERIFY(showsFrame(b, w->ppt(Strip::SidePanel), SIDE_PANEL_HIDDEN));

    w->c_z_click(Tool::SidePanel);
    QCOMPARE(b->toolTipText(), QStringLiteral("隐藏"));
    QVERIFY(showsFrame(b, w->ppt(Strip::SidePanel), SIDE_PANEL_SHOWN));
    QVERIFY(w->game()->Pic2()->isVisible());
    QCOMPARE(w->game()->picf()->width(), withPanel);
}

void TestUiToolbar::favouriteAndPointsGame()
{
    ensurePlaying();
    w->game()->c_z(Tool::Favourite)->paintFrom(w->ppt(Strip::ToolsHover), ToolFrame(1));
    w->c_z_click(Tool::Favourite);
    QVERIFY(showsFrame(w->game()->c_z(Tool::Favourite), w->ppt(Strip::Tools), ToolFrame(1)));
    // The favourites list gets the game under the name of its command.
    const QStringList favourites = ReadListLines(w->paths().dataFile(QStringLiteral("date_c.dat"))).value_or(QStringList{});
    QVERIFY2(favourites.value(0).startsWith(QStringLiteral("风车|101|")), qPrintable(favourites.value(0)));
    QCOMPARE(w->tray()->lastBalloon().text, QStringLiteral("风车已添加到收藏！"));

    // "tuzojf://" anywhere in the command makes a points game.
    m_game->play(QStringLiteral("tuzoflash://7$$$http://127.0.0.1:9/7.swf$$$tuzojf://"));
    w->game()->lblCount()->hide();
    w->game()->c_z(Tool::Download)->paintFrom(w->ppt(Strip::ToolsHover), ToolFrame(3));
    MessageAnswer boxes(QMessageBox::Ok);
    QTest::mouseClick(w->game()->c_z(Tool::Download), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(w->game()->lblCount()->text(), QStringLiteral("当前游戏为积分游戏，不能下载！"));
    QVERIFY(!w->game()->lblCount()->isHidden());
    QVERIFY(showsFrame(w->game()->c_z(Tool::Download), w->ppt(Strip::Tools), ToolFrame(3)));
    QVERIFY(!w->DL()->isDownloading());
    QVERIFY(KavoTest::Settle());
    QVERIFY(boxes.texts.isEmpty());
    w->game()->lblCount()->setText(QString());
}

void TestUiToolbar::screenshotIsABitmapOfThePane()
{
    ensurePlaying();
    QVERIFY2(waitForGamePicture(w->game()->Web2()), "the game is not drawn");
    w->game()->c_z(Tool::Screenshot)->paintFrom(w->ppt(Strip::ToolsHover), ToolFrame(2));
    QTest::mouseClick(w->game()->c_z(Tool::Screenshot), Qt::LeftButton, {}, QPoint(10, 10));

    const QStringList files = screenshotsIn(QStringLiteral("风车"));
    QCOMPARE(files.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^[1-9][0-9]{2}\\.bmp$")).match(files.first()).hasMatch(),
             qPrintable(files.first()));
    const QString path = desktop() + QStringLiteral("/风车/") + files.first();
    QCOMPARE(w->tray()->lastBalloon().text, QStringLiteral("截图完成。路径:") + path);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(2), QByteArray("BM"));
    file.close();
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read().convertToFormat(QImage::Format_RGB32);
    // Every pixel the screen shows: twice as many each way at twice the scale.
    QCOMPARE(image.size(), w->game()->Web2()->size() * w->game()->Web2()->devicePixelRatio());
    QVERIFY2(colourCount(image) >= 12, qPrintable(QString::number(colourCount(image))));

    QVERIFY(w->game()->c_z(Tool::Screenshot)->isEnabled());
    QVERIFY(showsFrame(w->game()->c_z(Tool::Screenshot), w->ppt(Strip::Tools), ToolFrame(2)));

    // A second one lands in the same folder (the same number replaces the
    // earlier file).
    w->c_z_click(Tool::Screenshot);
    const int count = screenshotsIn(QStringLiteral("风车")).size();
    QVERIFY(count == 1 || count == 2);
    QVERIFY(w->tray()->lastBalloon().text.startsWith(QStringLiteral("截图完成。路径:") + desktop() + QStringLiteral("/风车/")));

    // A paused game is captured too, at the pane's size.
    playAs(QStringLiteral("暂停"));
    w->c_z_click(Tool::StopContinue);
    w->c_z_click(Tool::Screenshot);
    w->c_z_click(Tool::StopContinue);
    const QStringList paused = screenshotsIn(QStringLiteral("暂停"));
    QCOMPARE(paused.size(), 1);
    QCOMPARE(QImage(desktop() + QStringLiteral("/暂停/") + paused.first()).size(),
             w->game()->Web2()->size() * w->game()->Web2()->devicePixelRatio());
}

void TestUiToolbar::screenshotFolderName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QString>("folder"); // empty: refused

    QTest::newRow("backslash and blank") << QStringLiteral("A\\B ") << QStringLiteral("AB") << QStringLiteral("AB");
    QTest::newRow("slash") << QStringLiteral(" x/../y") << QStringLiteral("x/../y") << QStringLiteral("x..y");
    QTest::newRow("only backslashes and blanks") << QStringLiteral(" \\\\ ") << QString() << QString();
    QTest::newRow("dot dot") << QStringLiteral("..") << QStringLiteral("..") << QString();
    QTest::newRow("escaped by the portal") << QStringLiteral("%u661F%u591C") << QStringLiteral("%u661F%u591C")
                                           << QStringLiteral("星夜");
}

void TestUiToolbar::screenshotFolderName()
{
    QFETCH(QString, name);
    QFETCH(QString, storedName);
    QFETCH(QString, folder);
    ensurePlaying();
    const QStringList before = QDir(desktop()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QStringList parentBefore = QDir(m_desk.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    playAs(name);
    w->TrayBalloon(QString());
    MessageAnswer boxes(QMessageBox::Ok);
    w->c_z_click(Tool::Screenshot);
    QVERIFY(KavoTest::Settle());

    QCOMPARE(w->state().CurrentGameName, storedName);
    QVERIFY(w->game()->c_z(Tool::Screenshot)->isEnabled());
    // Nothing is ever written beside the desktop folder.
    QCOMPARE(QDir(m_desk.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), parentBefore);
    if (folder.isEmpty()) {
        QCOMPARE(boxes.texts, QStringList{QStringLiteral("游戏错误，无法完成截图！")});
        QCOMPARE(QDir(desktop()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(w->tray()->lastBalloon().text, QString());
    } else {
        QVERIFY(boxes.texts.isEmpty());
        QCOMPARE(screenshotsIn(folder).size(), 1);
        QVERIFY(w->tray()->lastBalloon().text.startsWith(QStringLiteral("截图完成。路径:") + desktop() + QLatin1Char('/') + folder
                                             + QLatin1Char('/')));
    }
}

void TestUiToolbar::screenshotThatCannotBeSaved()
{
    ensurePlaying();
    // A plain file where the game's folder should be.
    QVERIFY(WriteFile(desktop() + QStringLiteral("/占位"), QByteArray()));
    playAs(QStringLiteral("占位"));
    w->c_z_click(Tool::Screenshot);
    QVERIFY(w->tray()->lastBalloon().text.startsWith(QStringLiteral("截图失败，文件未能保存。路径:") + desktop()
                                         + QStringLiteral("/占位/")));
    QVERIFY(!w->tray()->lastBalloon().text.contains(QStringLiteral("截图完成")));
    QVERIFY(QFileInfo(desktop() + QStringLiteral("/占位")).isFile());
    QVERIFY(w->game()->c_z(Tool::Screenshot)->isEnabled());
    QVERIFY(showsFrame(w->game()->c_z(Tool::Screenshot), w->ppt(Strip::Tools), ToolFrame(2)));
}

void TestUiToolbar::fullScreenAndLeavingIt()
{
    if (const QString no = X11Probe::windowManagerMissing(); !no.isEmpty())
        QFAIL(qPrintable(no));
    ensurePlaying();
    const QSize normal = w->size();
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();

    // The side panel is shown: full screen covers it all the same.
    if (!w->game()->SidePanelShown())
        w->c_z_click(Tool::SidePanel);
    const QRect panel(w->game()->Pic2()->mapTo(w, QPoint(0, 0)), w->game()->Pic2()->size());

    // Four ways out: the leave button, the maximise button, a double click
    // on the caption bar, Esc in the game's pane.
    for (int way = 0; way < 4; ++way) {
        w->game()->c_z(Tool::FullScreen)->paintFrom(w->ppt(Strip::ToolsHover), ToolFrame(4));
        QTest::mouseClick(w->game()->c_z(Tool::FullScreen), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(w->state().FullScreenGame);
        QVERIFY(showsFrame(w->game()->c_z(Tool::FullScreen), w->ppt(Strip::Tools), ToolFrame(4)));
        QVERIFY(w->game()->Picd()->isHidden());
        QVERIFY(w->ad_pic()->isHidden());
        QCOMPARE(w->npc(Caption::Maximise)->toolTipText(), QStringLiteral("还原"));
        QTRY_VERIFY_WITH_TIMEOUT(w->isMaximized(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), workArea, 5000);
        // The window manager has finished maximising (its state on the
        // window says so), and the layout the resize queued has run.
        QVERIFY(KavoTest::WaitUntil([w = w] { return maximisedState(w); }, 10000));
        QVERIFY(KavoTest::Settle());
        QVERIFY(w->game()->c_z(Tool::LeaveFullScreen)->isVisible());
        // The game covers everything below the caption bar.
        const int W = w->width();
        const int H = w->height();
        QCOMPARE(QRect(w->game()->Pic1()->mapTo(w, QPoint(0, 0)), w->game()->Pic1()->size()), QRect(4, 55, W - 8, H - 59));
        QCOMPARE(w->game()->Web2()->geometry(), QRect(-4, -4, W - 8 + 6, H - 59 + 6));
        QCOMPARE(w->game()->c_z(Tool::LeaveFullScreen)->geometry(), QRect(w->game()->picg()->width() - 80, 3, 55, 20));
        const QPoint middle = w->game()->Pic1()->mapTo(w, QPoint(w->game()->Pic1()->width() - 20, w->game()->Pic1()->height() / 2));
        QWidget *top = w->childAt(middle);
        QVERIFY2(top && (top == w->game()->Web2() || w->game()->Web2()->isAncestorOf(top)),
                 top ? top->metaObject()->className() : "nothing");
        // Nothing of the side panel shows over the game, where it stood either.
        QVERIFY(!w->game()->Pic2()->isVisible() && !w->game()->Webr()->isVisible());
        top = w->childAt(panel.center());
        QVERIFY2(top && (top == w->game()->Web2() || w->game()->Web2()->isAncestorOf(top)),
                 top ? top->metaObject()->className() : "nothing");
        // The game keeps its other keys.
        QWidget *keys = w->game()->Web2()->focusProxy();
        QVERIFY(keys);
        QTest::keyClick(keys, Qt::Key_Space);
        QTest::keyClick(keys, Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(w->state().FullScreenGame);

        switch (way) {
        case 0:
            w->game()->c_z(Tool::LeaveFullScreen)->paintFrom(w->ppt(Strip::LeaveFullScreen), Hover(LEAVE_FULL_SCREEN));
            QTest::mouseClick(w->game()->c_z(Tool::LeaveFullScreen), Qt::LeftButton, {}, QPoint(10, 10));
            QVERIFY(showsFrame(w->game()->c_z(Tool::LeaveFullScreen), w->ppt(Strip::LeaveFullScreen), LEAVE_FULL_SCREEN));
            break;
        case 1:
            w->npc_Click(Caption::Maximise);
            break;
        case 2:
            QTest::mouseDClick(w, Qt::LeftButton, {}, QPoint(200, 12));
            break;
        case 3:
            QTest::keyClick(keys, Qt::Key_Escape);
            break;
        }
        QVERIFY(!w->state().FullScreenGame);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isMaximized(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), normal, 5000);
        // Restored by the window manager before the next way in.
        QVERIFY(KavoTest::WaitUntil([w = w] { return !maximisedState(w); }, 10000));
        QVERIFY(KavoTest::Settle());
        QVERIFY2(!w->game()->Picd()->isHidden(), qPrintable(QString::number(way)));
        QVERIFY(w->game()->c_z(Tool::LeaveFullScreen)->isHidden());
        QVERIFY(!w->ad_pic()->isHidden());
        QCOMPARE(w->npc(Caption::Maximise)->toolTipText(), QStringLiteral("最大化"));
        // The standard game page again: toolbar under the pane, side panel.
        QCOMPARE(w->game()->Pic1()->height(), w->game()->picf()->height() - 35);
        QCOMPARE(w->zz(1)->geometry().topLeft(), QPoint(4, 96));
        QVERIFY(w->game()->Pic2()->isVisible());
    }
}

QTEST_MAIN(TestUiToolbar)
#include "tst_ui_toolbar.moc"
