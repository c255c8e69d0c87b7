#pragma once

// Records the addresses the program hands to the desktop's browser (every
// http and https address it opens) instead of starting a browser, for as
// long as it lives.

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

class BrowserRecorder : public QObject
{
    Q_OBJECT

public:
    BrowserRecorder()
    {
        for (const QString &scheme : schemes())
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~BrowserRecorder() override
    {
        for (const QString &scheme : schemes())
            QDesktopServices::unsetUrlHandler(scheme);
    }

    // Addresses opened so far, oldest first.
    QStringList opened;
    Q_INVOKABLE void open(const QUrl &url) { opened << url.toString(); }

private:
    static QStringList schemes() { return {QStringLiteral("http"), QStringLiteral("https")}; }
};
