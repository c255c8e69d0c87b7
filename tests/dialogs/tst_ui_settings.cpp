// The program menu of the caption's menu button and the settings dialog it
// opens, under a real window manager: the menu's place and entries, what each
// entry reaches, the dialog's skin, pages and options in config.ini, and the
// autostart entry with a program started from it.
#include "support/gamebox.h"

#include "dialogs/autostart.h"
#include "dialogs/gui/ba2.h"
#include "mainwindow/ba3.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/imagebutton.h"
#include "support/core/appfolder.h"
#include "support/core/files.h"
#include "support/core/tempfolder.h"
#include "support/dialoganswers.h"
#include "support/eventwait.h"
#include "support/browserrecorder.h"
#include "support/trayhost.h"
#include "support/x11probe.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <csignal>

namespace
{
using X11Probe::Window;

// The dialog the window has open (not one on its way out).
BA2 *openDialog(BA1 *w)
{
    for (BA2 *d : w->findChildren<BA2 *>(QString(), Qt::FindDirectChildrenOnly))
        if (!d->isUnloaded() && d->isVisible())
            return d;
    return nullptr;
}

// A control of the dialog, by its object name.
template <typename T = QWidget>
T *part(const BA2 *d, const char *name)
{
    return d->findChild<T *>(QLatin1String(name));
}

QLabel *labelWith(const BA2 *d, const QString &text)
{
    for (QLabel *l : d->findChildren<QLabel *>())
        if (l->text() == text)
            return l;
    return nullptr;
}

// Chooses `entry` of the program menu popped up by the menu button.
void chooseFromMenuButton(BA1 *w, const QString &entry)
{
    MenuAnswer menu(entry);
    w->npc_Click(Caption::Menu);
}

// Triggers `entry` of the program menu without popping it up.
void triggerProgramMenu(BA1 *w, const QString &entry)
{
    for (QAction *action : MenuForm(w)->r_m()->actions())
        if (action->text() == entry)
            action->trigger();
}

using X11Probe::minimisedOnScreen;
using X11Probe::xid;

bool onTop(QWidget *w)
{
    return X11Probe::netWmState(xid(w)).contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
}

// `upper` stands above `lower` in the window manager's stacking order.
bool stackedAbove(QWidget *upper, QWidget *lower)
{
    const QList<Window> order = X11Probe::stackingOrder();
    const qsizetype u = order.indexOf(xid(upper));
    const qsizetype l = order.indexOf(xid(lower));
    return u >= 0 && l >= 0 && u > l;
}

// Sees a move with the left button held reach a window.
class DragSeen : public QObject
{
public:
    bool dragged = false;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseMove && (static_cast<QMouseEvent *>(e)->buttons() & Qt::LeftButton))
            dragged = true;
        return false;
    }
};

QImage cell(const QImage &strip, const QRect &rect)
{
    return strip.copy(rect).convertToFormat(QImage::Format_RGB32);
}

// Dark pixels of text in a picture.
bool hasInk(const QImage &img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 100)
                return true;
    return false;
}

// What the screen shows of `area`, a pixel for each of the toolkit's: at
// twice the scale every pixel of the skin covers four of the screen's, and
// one of them stands for it.
QImage screenShot(const QRect &area)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .scaled(area.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
}
} // namespace

class TestUiSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;
    BrowserRecorder m_browser;

    QString autostartEntry() const { return Autostart::EntryPath(m_config.filePath(QStringLiteral("autostart"))); }

    // Opens the dialog through the menu button on the page of `entry`.
    BA2 *openThroughMenu(BA1 *w, const QString &entry)
    {
        chooseFromMenuButton(w, entry);
        if (!KavoTest::WaitUntil([w] { return openDialog(w) != nullptr; }, 5000))
            return nullptr;
        BA2 *d = openDialog(w);
        return QTest::qWaitForWindowExposed(d, 10000) ? d : nullptr;
    }

    // Shows the window, active, and sets it on top by its pin button.
    static bool showOnTop(GameBox &f)
    {
        BA1 *w = f.w.get();
        if (!f.show() || !KavoTest::WaitUntil([w] { return X11Probe::activeWindow() == xid(w); }, 5000))
            return false;
        w->npc_Click(Caption::OnTop);
        return KavoTest::WaitUntil([w] { return onTop(w); }, 5000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    }

    void cleanup()
    {
        QFile::remove(autostartEntry());
    }

    // One window through every entry of the menu, ending with the one that
    // quits the program.
    void menuEntriesReachTheirCommands()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        const QPoint expected = w->mapToGlobal(QPoint(w->npc(Caption::Menu)->x() - 17, w->npc(Caption::Menu)->y() + 23));

        // A real click on the button pops up the menu.
        {
            MenuAnswer menu;
            QVERIFY(ClickAt(w->npc(Caption::Menu)->mapToGlobal(QPoint(12, 9))));
            QTRY_COMPARE_WITH_TIMEOUT(menu.count, 1, 10000);
            QCOMPARE(menu.entries, ProgramMenuEntries());
            QCOMPARE(menu.position, expected);
        }

        // Nothing was fetched: the check on demand has nothing to offer.
        {
            MessageAnswer answer(QMessageBox::Ok);
            chooseFromMenuButton(w, QStringLiteral("升级检测"));
            QTRY_VERIFY_WITH_TIMEOUT(answer.count > 0, 10000);
            QCOMPARE(answer.text, QStringLiteral("你现在使用的是最新版本，无需升级！"));
        }

        // The two dialog entries open one dialog on two pages.
        BA2 *about = openThroughMenu(w, QStringLiteral("关于我们"));
        QVERIFY(about);
        QCOMPARE(part<QLabel>(about, "title")->text(), QStringLiteral("关于我们"));
        QVERIFY(part(about, "aboutPage")->isVisible());
        QVERIFY(!part(about, "settingsPage")->isVisible());
        QCOMPARE(part(about, "tabMarker")->pos(), QPoint(15, part(about, "aboutTab")->y() + 10));
        BA2 *settings = openThroughMenu(w, QStringLiteral("软件设置"));
        QCOMPARE(settings, about);
        QCOMPARE(part<QLabel>(settings, "title")->text(), QStringLiteral("软件设置"));
        QVERIFY(part(settings, "settingsPage")->isVisible());
        QVERIFY(!part(settings, "aboutPage")->isVisible());
        QCOMPARE(part(settings, "tabMarker")->pos(), QPoint(15, 43));
        QCOMPARE(settings->windowTitle(), QStringLiteral("软件设置"));
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), static_cast<QWidget *>(settings), 5000);

        // The vendor's page in the desktop's browser.
        chooseFromMenuButton(w, QStringLiteral("官方网站"));
        QTRY_COMPARE_WITH_TIMEOUT(m_browser.opened, QStringList{w->portalBase()}, 10000);

        // Quitting takes the dialog along.
        QPointer<BA2> dialog(settings);
        QVERIFY(endsTheProgram([w] { chooseFromMenuButton(w, QStringLiteral("退出软件")); }));
        QVERIFY(!w->isVisible());
        QVERIFY(!dialog || !dialog->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog);
    }

    // The window stays on top and is minimised, or hidden: the dialog brings
    // it back and opens over it, and the window stays on top.
    void dialogOverAWindowOnTop()
    {
        GameBox f(GameBox::NO_PORTAL, {{QStringLiteral("ts"), QStringLiteral("1")}, {QStringLiteral("quit"), QStringLiteral("2")}});
        BA1 *w = f.w.get();
        QVERIFY(showOnTop(f));
        w->showMinimized();
        QTRY_VERIFY_WITH_TIMEOUT(minimisedOnScreen(w), 5000);

        triggerProgramMenu(w, QStringLiteral("软件设置"));
        BA2 *d = openDialog(w);
        QVERIFY(d);
        QVERIFY(QTest::qWaitForWindowExposed(d, 10000));
        QTRY_VERIFY_WITH_TIMEOUT(!minimisedOnScreen(w) && X11Probe::isViewable(xid(w)), 5000);
        QVERIFY(!w->isMinimized());
        QCOMPARE(X11Probe::transientFor(xid(d)), xid(w));
        QTRY_VERIFY_WITH_TIMEOUT(stackedAbove(d, w), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(onTop(w), 5000);
        QCOMPARE(w->npc(Caption::OnTop)->toolTipText(), QStringLiteral("取消置顶"));
        // Still above it once the window is on top again.
        QVERIFY(stackedAbove(d, w));
        part<QPushButton>(d, "cancel")->click();
        QTRY_VERIFY(!openDialog(w));
    }

    void dialogOverAHiddenWindow()
    {
        GameBox f(GameBox::NO_PORTAL);
        BA1 *w = f.w.get();
        QVERIFY(showOnTop(f));
        // Hidden (as to the notification area): shown again, the dialog over it.
        w->hide();
        QTRY_VERIFY_WITH_TIMEOUT(!X11Probe::isViewable(xid(w)), 5000);
        triggerProgramMenu(w, QStringLiteral("关于我们"));
        QVERIFY(w->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(X11Probe::isViewable(xid(w)), 5000);
        BA2 *d = openDialog(w);
        QVERIFY(d);
        QCOMPARE(part<QLabel>(d, "title")->text(), QStringLiteral("关于我们"));
        QTRY_VERIFY_WITH_TIMEOUT(stackedAbove(d, w), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(onTop(w), 5000);
    }

    // The settings dialog as the screen shows it: frame, buttons, both
    // pages, dragged by its title strip and closed by its close button.
    void dialogOnScreen()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        BA2 *d = openThroughMenu(w, QStringLiteral("软件设置"));
        QVERIFY(d);
        QVERIFY(d->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(d->size(), QSize(420, 283));
        QCOMPARE(X11Probe::rootGeometry(xid(d)).size(), QSize(420, 283));
        QCOMPARE(part<QPushButton>(d, "ok")->geometry(), QRect(168, 248, 73, 25));
        QCOMPARE(part<QPushButton>(d, "cancel")->geometry(), QRect(248, 248, 73, 25));
        QCOMPARE(part<QPushButton>(d, "apply")->geometry(), QRect(328, 248, 73, 25));
        QCOMPARE(part<QPushButton>(d, "ok")->text(), QStringLiteral("确定"));
        QCOMPARE(part<QPushButton>(d, "cancel")->text(), QStringLiteral("取消"));
        QCOMPARE(part<QPushButton>(d, "apply")->text(), QStringLiteral("应用(&A)"));
        ImageButton *close = part<ImageButton>(d, "close");
        QCOMPARE(close->geometry(), QRect(420 - 38, 5, 33, 19));

        // The frame on screen comes from the first skin strip: a corner as it
        // is, the top edge and the bottom edge stretched.
        const QImage shot = screenShot(d->frameGeometry());
        QCOMPARE(shot.pixelColor(5, 28), w->ppt(Strip::Frame).pixelColor(5, 28));
        QCOMPARE(shot.pixelColor(200, 28), w->ppt(Strip::Frame).pixelColor(75, 28));
        QCOMPARE(shot.pixelColor(200, 280), w->ppt(Strip::Frame).pixelColor(40, 130));
        QCOMPARE(shot.pixelColor(419, 150), w->ppt(Strip::Frame).pixelColor(99, 64));
        QCOMPARE(shot.pixelColor(0, 150), w->ppt(Strip::Frame).pixelColor(0, 64));

        // The close button: normal, the pointer over it, off it again.
        const QRect closeCell(93, 0, 33, 19);
        QCOMPARE(framePixels(close->image(), {33, 19}), cell(w->ppt(Strip::CaptionButtons), closeCell));
        const QPoint overClose = X11Probe::toNative(close->mapToGlobal(QPoint(16, 9)));
        QVERIFY(Xdotool({QStringLiteral("mousemove"), QString::number(overClose.x()), QString::number(overClose.y())}));
        QTRY_COMPARE_WITH_TIMEOUT(framePixels(close->image(), {33, 19}), cell(w->ppt(Strip::CaptionButtonsHover), closeCell), 5000);
        const QPoint inside = X11Probe::toNative(d->mapToGlobal(QPoint(200, 150)));
        QVERIFY(Xdotool({QStringLiteral("mousemove"), QString::number(inside.x()), QString::number(inside.y())}));
        QTRY_COMPARE_WITH_TIMEOUT(framePixels(close->image(), {33, 19}), cell(w->ppt(Strip::CaptionButtons), closeCell), 5000);

        // The texts of both pages.
        QStringList texts;
        for (const QLabel *l : d->findChildren<QLabel *>())
            texts << l->text();
        for (const QCheckBox *c : d->findChildren<QCheckBox *>())
            texts << c->text();
        for (const char *t : {"启动设置", "开机自动启动游戏软件", "提醒：开机启动可能会被部分杀毒软件提示", "操作设置",
                              "关闭软件最小化到托盘，不退出软件", "托盘显示系统操作气泡提示", "自动保存软件界面大小",
                              "Kavo游戏盒", "Kavo游戏盒是一款在线小游戏软件。", "拥有几万款在线小游戏，操作简单，在线玩",
                              "可下载，享受超HIGH游戏体验。", "我们的宗旨:玩家第一、内容为王。\n",
                              "版本 1.0    发布日期 2011.1.18", "\r\n关于我们", "\r\n软件设置"})
            QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
        QCOMPARE(labelWith(d, QStringLiteral("启动设置"))->font().bold(), true);
        QCOMPARE(labelWith(d, QStringLiteral("操作设置"))->font().bold(), true);

        // Every text fits inside its page and no two overlap.
        for (QWidget *page : {part(d, "settingsPage"), part(d, "aboutFrame")}) {
            QList<QRect> placed;
            for (QWidget *c : page->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
                const QRect r = c->geometry();
                QVERIFY2(page->rect().contains(r), qPrintable(c->objectName() + c->property("text").toString()));
                for (const QRect &other : placed)
                    QVERIFY2(!other.intersects(r), qPrintable(c->property("text").toString()));
                placed << r;
            }
        }

        const QRect area = d->frameGeometry();
        const QRect optionArea(part<QCheckBox>(d, "closeToTray")->mapTo(d, QPoint(0, 0)), part<QCheckBox>(d, "closeToTray")->size());
        QTRY_VERIFY_WITH_TIMEOUT(hasInk(screenShot(area).copy(optionArea)), 5000);
        const QImage settingsShot = screenShot(area);
        QVERIFY(settingsShot.save(QStringLiteral(KAVO_BUILD_DIR "/settings-dialog-settings.png")));
        // The about tab, clicked.
        QVERIFY(ClickAt(part(d, "aboutTab")->mapToGlobal(QPoint(54, 20))));
        QTRY_VERIFY_WITH_TIMEOUT(part(d, "aboutPage")->isVisible(), 5000);
        QCOMPARE(part<QLabel>(d, "title")->text(), QStringLiteral("关于我们"));
        QCOMPARE(part(d, "aboutTab")->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(part(d, "settingsTab")->palette().color(QPalette::Window), QColor(0xf5, 0xf5, 0xf5));
        // Painted once the title and the page have changed on screen.
        const QRect pageArea(part(d, "aboutPage")->mapTo(d, QPoint(0, 0)), part(d, "aboutPage")->size());
        const QRect titleArea(0, 0, area.width(), 30);
        QTRY_VERIFY_WITH_TIMEOUT(screenShot(area).copy(pageArea) != settingsShot.copy(pageArea)
                                     && screenShot(area).copy(titleArea) != settingsShot.copy(titleArea),
                                 5000);
        const QLabel *text = labelWith(d, QStringLiteral("Kavo游戏盒是一款在线小游戏软件。"));
        const QRect textArea(text->mapTo(d, QPoint(0, 0)), text->size());
        QVERIFY(hasInk(screenShot(area).copy(textArea)));
        QVERIFY(screenShot(area).save(QStringLiteral(KAVO_BUILD_DIR "/settings-dialog-about.png")));

        // Dragged by its title strip: the window manager takes over at the
        // first move with the button held and follows the pointer from there.
        const QPoint grip = d->mapToGlobal(QPoint(200, 12));
        const QRect before = X11Probe::rootGeometry(xid(d));
        const auto pointerTo = [](const QPoint &p) {
            const QPoint native = X11Probe::toNative(p);
            return Xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(native.x()),
                            QString::number(native.y())});
        };
        QVERIFY(pointerTo(grip));
        QVERIFY(Xdotool({QStringLiteral("mousedown"), QStringLiteral("1")}));
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::mouseButtons() & Qt::LeftButton, 5000);
        DragSeen seen;
        d->installEventFilter(&seen);
        QVERIFY(pointerTo(grip + QPoint(30, 20)));
        QTRY_VERIFY_WITH_TIMEOUT(seen.dragged, 5000);
        // Moves go on until the window manager has taken the drag over; it
        // follows the pointer from where it took over (at most the first move).
        const auto moved = [&] { return X11Probe::rootGeometry(xid(d)).topLeft() - before.topLeft(); };
        QTRY_VERIFY_WITH_TIMEOUT(pointerTo(grip + QPoint(59, 39)) && pointerTo(grip + QPoint(60, 40))
                                     && moved().x() > 0 && moved().y() > 0,
                                 10000);
        QVERIFY(Xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));
        QVERIFY2(moved().x() <= 60 && moved().y() <= 40, qPrintable(QStringLiteral("%1,%2").arg(moved().x()).arg(moved().y())));
        QCOMPARE(X11Probe::rootGeometry(xid(d)).size(), QSize(420, 283));
        QTRY_COMPARE_WITH_TIMEOUT(d->geometry().topLeft(), before.topLeft() + moved(), 5000);

        // A real click on the close button closes the dialog.
        QVERIFY(ClickAt(close->mapToGlobal(QPoint(16, 9))));
        QTRY_VERIFY_WITH_TIMEOUT(!openDialog(w), 5000);
    }

    void applyKeepsTheDialogOpen()
    {
        GameBox f(GameBox::NO_PORTAL, {{QStringLiteral("quit"), QStringLiteral("5")}});
        QVERIFY(f.show());
        BA2 *d = openThroughMenu(f.w.get(), QStringLiteral("软件设置"));
        QVERIFY(d);
        QVERIFY(part<QCheckBox>(d, "closeToTray")->isChecked());
        QTest::mouseClick(part<QPushButton>(d, "apply"), Qt::LeftButton);
        QCOMPARE(f.setting("quit"), QStringLiteral("2"));
        QVERIFY(d->isVisible());

        QTest::mouseClick(part<QCheckBox>(d, "closeToTray"), Qt::LeftButton);
        QTest::mouseClick(part<QCheckBox>(d, "balloons"), Qt::LeftButton);
        QVERIFY(!part<QCheckBox>(d, "closeToTray")->isChecked());
        // Apply by its access key.
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), static_cast<QWidget *>(d), 5000);
        QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("alt+a")}));
        QTRY_COMPARE_WITH_TIMEOUT(f.setting("quit"), QStringLiteral("1"), 5000);
        QCOMPARE(f.setting("quit"), QStringLiteral("1"));
        QCOMPARE(f.setting("s_pao"), QStringLiteral("1"));
        QCOMPARE(f.setting("s_size"), QStringLiteral("2"));
        QCOMPARE(f.setting("s_kai"), QStringLiteral("1"));
        QVERIFY(d->isVisible());
    }

    void cancelAndCloseWriteNothing()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        const QByteArray before = ReadFile(f.paths.configPath());
        QVERIFY(!before.isEmpty());

        // Cancel, the close button and Escape.
        const std::function<void(BA2 *)> closings[] = {
            [](BA2 *d) { QTest::mouseClick(part<QPushButton>(d, "cancel"), Qt::LeftButton); },
            [](BA2 *d) { QTest::mouseClick(part<ImageButton>(d, "close"), Qt::LeftButton); },
            [](BA2 *d) { QTest::keyClick(d, Qt::Key_Escape); },
        };
        for (const auto &close : closings) {
            BA2 *d = openThroughMenu(w, QStringLiteral("软件设置"));
            QVERIFY(d);
            for (QCheckBox *c : d->findChildren<QCheckBox *>())
                c->click();
            close(d);
            QTRY_VERIFY(!openDialog(w));
            QCOMPARE(ReadFile(f.paths.configPath()), before);
        }
        QVERIFY(!QFile::exists(autostartEntry()));
    }

    // The options of a first run, then each changed and written by OK.
    void okWritesAndCloses()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        BA2 *d = openThroughMenu(w, QStringLiteral("软件设置"));
        QVERIFY(d);
        QVERIFY(part<QCheckBox>(d, "keepSize")->isChecked());
        QVERIFY(!part<QCheckBox>(d, "autoStart")->isChecked());
        QVERIFY(part<QCheckBox>(d, "balloons")->isChecked());
        QVERIFY(part<QCheckBox>(d, "closeToTray")->isChecked());
        QCOMPARE(part<QCheckBox>(d, "keepSize")->text(), QStringLiteral("自动保存软件界面大小"));
        QCOMPARE(part<QCheckBox>(d, "autoStart")->text(), QStringLiteral("开机自动启动游戏软件"));
        QCOMPARE(part<QCheckBox>(d, "balloons")->text(), QStringLiteral("托盘显示系统操作气泡提示"));
        QCOMPARE(part<QCheckBox>(d, "closeToTray")->text(), QStringLiteral("关闭软件最小化到托盘，不退出软件"));
        for (const char *name : {"keepSize", "balloons", "closeToTray"})
            part<QCheckBox>(d, name)->click();
        QTest::mouseClick(part<QPushButton>(d, "ok"), Qt::LeftButton);
        QTRY_VERIFY(!openDialog(w));
        QCOMPARE(f.setting("s_size"), QStringLiteral("1"));
        QCOMPARE(f.setting("s_pao"), QStringLiteral("1"));
        QCOMPARE(f.setting("quit"), QStringLiteral("1"));
        QCOMPARE(f.setting("s_kai"), QStringLiteral("1"));
        // The next opening reads the file afresh.
        d = openThroughMenu(w, QStringLiteral("软件设置"));
        QVERIFY(d);
        for (QCheckBox *c : d->findChildren<QCheckBox *>())
            QVERIFY(!c->isChecked());
    }

    // The option in a folder whose path holds a space, quotes and Chinese:
    // the entry follows the option, passes the desktop's validator, and the
    // session's launcher starts the program from it.
    void autostartEntryStartsTheProgram()
    {
        TempFolder root;
        QVERIFY(root.isValid());
        const QString app = root.filePath(QStringLiteral("我的 游戏 \"盒\""));
        QVERIFY(CopyInstalledApplication(app));
        AppPaths paths(app);
        PrepareApplicationFolder(paths);
        WriteIniValue(paths.configPath(), QStringLiteral("S_q"), QStringLiteral("ts"), QStringLiteral("1"));
        auto w = std::make_unique<BA1>(paths, QStringLiteral("http://127.0.0.1:9/"));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get(), 10000));

        BA2 *d = openThroughMenu(w.get(), QStringLiteral("软件设置"));
        QVERIFY(d);
        part<QCheckBox>(d, "autoStart")->click();
        part<QPushButton>(d, "apply")->click();
        QCOMPARE(ReadIniValue(paths.configPath(), QStringLiteral("S_q"), QStringLiteral("s_kai"), QString()),
                 QStringLiteral("2"));
        QVERIFY(QFile::exists(autostartEntry()));
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(QStringLiteral("desktop-file-validate"), {autostartEntry()});
        QVERIFY(validate.waitForFinished(30000));
        QVERIFY2(validate.exitCode() == 0, validate.readAll().constData());

        part<QCheckBox>(d, "autoStart")->click();
        part<QPushButton>(d, "ok")->click();
        QCOMPARE(ReadIniValue(paths.configPath(), QStringLiteral("S_q"), QStringLiteral("s_kai"), QString()),
                 QStringLiteral("1"));
        QVERIFY(!QFile::exists(autostartEntry()));

        d = openThroughMenu(w.get(), QStringLiteral("软件设置"));
        QVERIFY(d);
        QVERIFY(!part<QCheckBox>(d, "autoStart")->isChecked());
        part<QCheckBox>(d, "autoStart")->click();
        part<QPushButton>(d, "ok")->click();
        QVERIFY(QFile::exists(autostartEntry()));

        // The folder's instance goes, so the started program runs it.
        w.reset();
        const QList<Window> before = X11Probe::mainWindows(0);
        QProcess gio;
        gio.setProcessChannelMode(QProcess::ForwardedChannels);
        gio.start(QStringLiteral("gio"), {QStringLiteral("launch"), autostartEntry()});
        QVERIFY(gio.waitForFinished(30000));
        QCOMPARE(gio.exitCode(), 0);
        quint32 pid = 0;
        QVERIFY(KavoTest::WaitUntil([&] {
            for (Window win : X11Probe::shownMainWindows(0))
                if (!before.contains(win) && X11Probe::pidOf(win) != quint32(QCoreApplication::applicationPid()))
                    pid = X11Probe::pidOf(win);
            return pid != 0;
        }, 60000));
        const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
        ::kill(pid_t(pid), SIGTERM);
        QCOMPARE(exe, app + QStringLiteral("/play"));
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)), 20000);
    }

    void unwritableAutostartFolder()
    {
        // A file holds the name of the autostart folder.
        QTemporaryDir other;
        QVERIFY(WriteFile(other.filePath(QStringLiteral("autostart")), QByteArray()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(other.path()));
        const auto restore = qScopeGuard([this] { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); });

        GameBox f(GameBox::NO_PORTAL, {{QStringLiteral("quit"), QStringLiteral("5")}});
        QVERIFY(f.show());
        BA2 *d = openThroughMenu(f.w.get(), QStringLiteral("软件设置"));
        QVERIFY(d);
        part<QCheckBox>(d, "autoStart")->click();
        part<QPushButton>(d, "ok")->click();
        QCOMPARE(f.setting("s_kai"), QStringLiteral("2"));
        QCOMPARE(f.setting("quit"), QStringLiteral("2"));
        QVERIFY(QFileInfo(other.filePath(QStringLiteral("autostart"))).isFile());
    }
};

QTEST_MAIN(TestUiSettings)
#include "tst_ui_settings.moc"
