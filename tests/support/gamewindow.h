#pragma once

// A main window on a fresh application folder, talking to a given portal, with
// helpers to load a game the way the play command does and to look at panes
// and button images. Header only.

#include "common/apppaths.h"
#include "portal/gui/webpane.h"
#include "mainwindow/ba1.h"
#include "shell/gui/imagebutton.h"
#include "startup/processentry.h"
#include "support/dialoganswers.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

class GameWindow
{
    // Declared first so that the folder outlives the window.
    QTemporaryDir m_dir;
    AppPaths m_paths;

public:
    explicit GameWindow(const QString &portalBase)
        : m_paths(m_dir.path())
    {
        PrepareApplicationFolder(m_paths);
        window = std::make_unique<BA1>(m_paths, portalBase);
    }

    bool show()
    {
        window->show();
        return QTest::qWaitForWindowExposed(window.get(), 10000);
    }

    const AppPaths &paths() const { return m_paths; }

    // Puts the local player page and its runtime from the built application
    // folder into this one, as the installer does.
    bool installLocalPlayer()
    {
        const QString from = QStringLiteral(KAVO_APP_DIR) + QStringLiteral("/app/");
        const QString to = m_paths.dataDir() + QLatin1Char('/');
        QFile::remove(to + QStringLiteral("flash.htm"));
        return QFile::copy(from + QStringLiteral("flash.htm"), to + QStringLiteral("flash.htm"))
            && QFile::link(from + QStringLiteral("ruffle"), to + QStringLiteral("ruffle"));
    }

    // Plays a game as a portal page does: the play command in the portal pane.
    void play(const QString &commandUrl) { window->Web1->Navigate(commandUrl); }

    std::unique_ptr<BA1> window;
};

// Distinct colours (4 bits a channel) among samples of a picture.
inline int colourCount(const QImage &img)
{
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3)
            colours.insert(img.pixel(x, y) & 0xf0f0f0);
    return colours.size();
}

// Waits until the pane shows a drawn game rather than a plain page.
inline bool waitForGamePicture(QWidget *pane, int timeoutMs = 45000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QTest::qWait(250);
        if (colourCount(pane->grab().toImage().convertToFormat(QImage::Format_RGB32)) >= 12)
            return true;
    }
    return false;
}

// The button's persistent image equals the frame `rect` of `strip`.
inline bool showsFrame(const ImageButton *button, const QImage &strip, const QRect &rect)
{
    const QImage shown = button->image().copy(QRect(QPoint(0, 0), rect.size())).convertToFormat(QImage::Format_RGB32);
    return !strip.isNull() && shown == strip.copy(rect).convertToFormat(QImage::Format_RGB32);
}

