#pragma once

// Stands in for the user's default browser inside the test process: every
// http and https address the program hands to the desktop lands in `opened`
// instead of starting a browser. The handlers go with the object.

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

class BrowserStandIn : public QObject
{
    Q_OBJECT

public:
    BrowserStandIn()
    {
        for (const QString &scheme : schemes())
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~BrowserStandIn() override
    {
        for (const QString &scheme : schemes())
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QStringList opened;
    Q_INVOKABLE void open(const QUrl &url) { opened << url.toString(); }

private:
    static QStringList schemes() { return {QStringLiteral("http"), QStringLiteral("https")}; }
};
