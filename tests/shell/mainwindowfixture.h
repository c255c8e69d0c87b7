#pragma once

// A main window on a fresh application folder, with a portal address nobody
// answers: the window's own behaviour needs no web content.

#include "common/apppaths.h"
#include "mainwindow/ba1.h"
#include "startup/processentry.h"
#include "startup/settingsstore.h"

#include <QApplication>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class MainWindowFixture
{
    // Declared first so that the folder outlives the window.
    QTemporaryDir m_dir;
    AppPaths m_paths;

public:
    // `settings` are keys of section S_q written before the window loads.
    explicit MainWindowFixture(const QMap<QString, QString> &settings = {})
        : m_paths(m_dir.path())
    {
        PrepareApplicationFolder(m_paths);
        for (auto it = settings.cbegin(); it != settings.cend(); ++it)
            WriteIniValue(m_paths.configPath(), QStringLiteral("S_q"), it.key(), it.value());
        window = std::make_unique<BA1>(m_paths, QStringLiteral("http://127.0.0.1:9/"));
    }

    QString setting(const char *key) const
    {
        return ReadIniValue(m_paths.configPath(), QStringLiteral("S_q"), QString::fromLatin1(key), QStringLiteral("?"));
    }

    void setSetting(const char *key, const QString &value)
    {
        WriteIniValue(m_paths.configPath(), QStringLiteral("S_q"), QString::fromLatin1(key), value);
    }

    // Shows the window and waits until the window manager has mapped it.
    bool show()
    {
        window->show();
        return QTest::qWaitForWindowExposed(window.get(), 10000);
    }

    const AppPaths &paths() const { return m_paths; }

    std::unique_ptr<BA1> window;
};

// The pixels of a persistent button image as they were copied from a strip.
inline QImage framePixels(const QImage &image, const QSize &size)
{
    return image.copy(QRect(QPoint(0, 0), size)).convertToFormat(QImage::Format_RGB32);
}

inline QImage stripPixels(const QImage &strip, const QRect &rect)
{
    return strip.copy(rect).convertToFormat(QImage::Format_RGB32);
}

// Runs `action` inside the application's event loop; true when the program
// ended it (quit) rather than the time limit.
inline bool endsTheProgram(const std::function<void()> &action, int timeoutMs = 15000)
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
