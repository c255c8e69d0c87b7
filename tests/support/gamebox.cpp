#include "support/gamebox.h"

#include "common/textcodec.h"
#include "lists/gamelist.h"
#include "lists/listfile.h"
#include "shell/gui/imagebutton.h"
#include "startup/processentry.h"
#include "startup/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTest>
#include <QTimer>

const QString GameBox::NO_PORTAL = QStringLiteral("http://127.0.0.1:9/");

GameBox::GameBox() : paths(m_dir.path()) {}

GameBox::GameBox(const QString &portalBase, const QMap<QString, QString> &settings) : paths(m_dir.path())
{
    PrepareApplicationFolder(paths);
    installRuntime();
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        WriteIniValue(paths.configPath(), QStringLiteral("S_q"), it.key(), it.value());
    create(portalBase);
}

bool GameBox::start(const QStringList &portalSwitches, bool waitForPortal)
{
    if (!portal.start(portalSwitches)) {
        qWarning("portal: %s", qPrintable(portal.errorString()));
        return false;
    }
    return openWindow(waitForPortal);
}

bool GameBox::openWindow(bool waitForPortal)
{
    PrepareApplicationFolder(paths);
    // The program's Flash runtime and fonts, which every page gets.
    installRuntime();
    // A stand-in for the installed local player page, unless a test has put
    // the real one there (installLocalPlayer).
    if (!QFile::exists(paths.dataFile(QStringLiteral("flash.htm"))))
        WriteFile(paths.dataFile(QStringLiteral("flash.htm")), "<!DOCTYPE html><html><body>local player</body></html>");
    create(portal.baseUrl());
    if (!show()) {
        qWarning("the main window was not shown");
        return false;
    }
    if (waitForPortal && !portalReady()) {
        qWarning("the portal page did not load");
        return false;
    }
    return true;
}

void GameBox::create(const QString &portalBase)
{
    w.reset();
    w = std::make_unique<BA1>(paths, portalBase);
}

bool GameBox::show()
{
    w->show();
    return QTest::qWaitForWindowExposed(w.get(), 10000);
}

bool GameBox::portalReady(int timeout)
{
    return KavoTest::WaitUntil([&] {
        return js(w->Web1(), QStringLiteral("document.readyState == 'complete' && !!(frames['tuzomain']"
                                          " && frames['tuzomain'].document.readyState == 'complete'"
                                          " && frames['tuzomain'].document.getElementById('g101'))"))
            .toBool();
    }, timeout);
}

QString GameBox::setting(const char *key, const QString &section) const
{
    return ReadIniValue(paths.configPath(), section, QString::fromLatin1(key), QStringLiteral("?"));
}

void GameBox::setSetting(const char *key, const QString &value, const QString &section)
{
    WriteIniValue(paths.configPath(), section, QString::fromLatin1(key), value);
}

bool GameBox::installRuntime()
{
    const QString from = QStringLiteral(KAVO_APP_DIR) + QStringLiteral("/app/");
    // Installed once, for as many windows and games as there are.
    const auto linked = [&](const QString &name) {
        const QString at = paths.dataFile(name);
        return QFileInfo(at).symLinkTarget() == QFileInfo(from + name).absoluteFilePath() || QFile::link(from + name, at);
    };
    return QDir().mkpath(paths.dataDir()) && linked(QStringLiteral("ruffle")) && linked(QStringLiteral("fonts"));
}

bool GameBox::installLocalPlayer()
{
    const QString from = QStringLiteral(KAVO_APP_DIR) + QStringLiteral("/app/");
    PrepareApplicationFolder(paths);
    for (const QString &name : {QStringLiteral("flash.htm"), QStringLiteral("i.gif")}) {
        QFile::remove(paths.dataFile(name));
        if (!QFile::copy(from + name, paths.dataFile(name)))
            return false;
    }
    return installRuntime();
}

bool GameBox::placeDownloadedGame(const QString &id, const QString &escapedName)
{
    return installLocalPlayer() && QDir().mkpath(paths.flashDir())
        && QFile::copy(PortalServer::gamesDir() + QLatin1Char('/') + id + QStringLiteral(".swf"), paths.flashFile(id))
        && AddGameRecord(paths, escapedName, id, id, 1, QStringLiteral("date_d.dat"));
}

void GameBox::play(const QString &commandUrl)
{
    w->Web1()->Navigate(commandUrl);
}

QStringList GameBox::listLines(const QString &listFile) const
{
    return ReadListLines(paths.dataFile(listFile)).value_or(QStringList{QStringLiteral("<missing>")});
}

void GameBox::setList(const QString &listFile, const QStringList &records)
{
    WriteFile(paths.dataFile(listFile), TextCodec::toAnsi(records.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

QImage pictureOf(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32).scaled(w->size(), Qt::IgnoreAspectRatio,
                                                                            Qt::FastTransformation);
}

int colourCount(const QImage &img)
{
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3)
            colours.insert(img.pixel(x, y) & 0xf0f0f0);
    return colours.size();
}

bool waitForGamePicture(QWidget *pane, int timeoutMs)
{
    // A grab takes a while; the game draws undisturbed between two.
    constexpr int GRAB_INTERVAL_MS = 200;
    QElapsedTimer sinceGrab;
    return KavoTest::WaitUntil([&] {
        if (sinceGrab.isValid() && sinceGrab.elapsed() < GRAB_INTERVAL_MS)
            return false;
        sinceGrab.start();
        return colourCount(pane->grab().toImage().convertToFormat(QImage::Format_RGB32)) >= 12;
    }, timeoutMs);
}

bool showsFrame(const ImageButton *button, const QImage &strip, const QRect &rect)
{
    return !strip.isNull() && framePixels(button->image(), rect.size()) == stripPixels(strip, rect);
}

QImage framePixels(const QImage &image, const QSize &size)
{
    return image.copy(QRect(QPoint(0, 0), size)).convertToFormat(QImage::Format_RGB32);
}

QImage stripPixels(const QImage &strip, const QRect &rect)
{
    return strip.copy(rect).convertToFormat(QImage::Format_RGB32);
}

bool endsTheProgram(const std::function<void()> &action, int timeoutMs)
{
    bool timedOut = false;
    QTimer::singleShot(0, action);
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    timeout.start(timeoutMs);
    QCoreApplication::exec();
    return !timedOut;
}
