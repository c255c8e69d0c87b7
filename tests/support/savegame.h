#pragma once

#include <QList>
#include <QStringList>
#include <QWebEngineUrlRequestInterceptor>

// The demo portal's saving game 108: it counts space bar presses in its save
// "counter" and reports each count as .../save/report?n=N.
namespace SaveGame
{
// The counts reported in these addresses, oldest first.
QList<int> ReportedCounts(const QStringList &addresses);
} // namespace SaveGame

// Every address the panes ask for, the program's own scheme included (the
// downloaded copy reports to kavo://app/...).
class RequestLog : public QWebEngineUrlRequestInterceptor
{
public:
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
    QStringList urls;
};
