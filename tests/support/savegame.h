#pragma once

#include <QList>
#include <QStringList>
#include <QWebEngineUrlRequestInterceptor>

#include <functional>

class GameBox;

// The demo portal's saving game 108: it counts space bar presses in its save
// "counter" and reports each count as .../save/report?n=N.
namespace SaveGame
{
// The counts reported in these addresses, oldest first.
QList<int> ReportedCounts(const QStringList &addresses);

using Counts = std::function<QList<int>()>;
// Plays the game with the play command `command` as a portal link does and
// answers the count the game found at its start (-1: none was reported).
// A page whose player runtime never arrived is played once more.
int Play(GameBox &box, const QString &command, const Counts &counts);
// Presses the space bar in the game pane `times` times (a click first gives
// the player the keyboard); each press must be reported with the next count.
bool PressSpace(GameBox &box, const Counts &counts, int times);
} // namespace SaveGame

// Every address the panes ask for, the program's own scheme included (the
// downloaded copy reports to kavo://app/...).
class RequestLog : public QWebEngineUrlRequestInterceptor
{
public:
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
    QStringList urls;
};
