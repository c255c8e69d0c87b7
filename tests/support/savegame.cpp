#include "support/savegame.h"

#include "support/gamebox.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

QList<int> SaveGame::ReportedCounts(const QStringList &addresses)
{
    static const QRegularExpression report(QStringLiteral("/save/report\\?n=(\\d+)$"));
    QList<int> counts;
    for (const QString &a : addresses) {
        const QRegularExpressionMatch m = report.match(a);
        if (m.hasMatch())
            counts << m.captured(1).toInt();
    }
    return counts;
}

void RequestLog::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    urls << info.requestUrl().toString();
}

int SaveGame::Play(GameBox &box, const QString &command, const Counts &counts)
{
    const int before = counts().size();
    const qsizetype requestsBefore = box.portal.requests().size();
    for (int attempt = 1;; ++attempt) {
        box.w->Web1()->Navigate(command);
        if (KavoTest::WaitUntil([&] { return counts().size() > before; }, 60000))
            break;
        // The game page's own view: how far it parsed, whether the player
        // runtime came, and which of its resources finished (ms since the
        // page started); one missing there is still on its way.
        const QString page = PageScript::js(box.w->game()->Web2(), QStringLiteral(
            "JSON.stringify({state: document.readyState, player: !!(window.RufflePlayer"
            " && window.RufflePlayer.newest), stage: (document.getElementById('stage') || {}).innerHTML,"
            " runtime: (function () { var p = document.querySelector('ruffle-player, ruffle-object, ruffle-embed');"
            " var panel = p && p.shadowRoot && p.shadowRoot.getElementById('panic');"
            " return p ? [p.readyState, p.isPlaying, panel ? panel.innerText.slice(0, 160) : ''] : []; })(),"
            " done: performance.getEntriesByType('resource').map(function (e) {"
            " return e.name.replace(location.origin, '') + ' ' + Math.round(e.startTime) + '-'"
            " + Math.round(e.responseEnd); }), now: Math.round(performance.now())})")).toString();
        qWarning("the game reported nothing; game pane at %s; the page: %s; requests since the play: %s",
                 qPrintable(box.w->game()->Web2()->url().toString()), qPrintable(page),
                 qPrintable(box.portal.requests().mid(requestsBefore).join(QLatin1Char(' '))));
        // Played again once only when the page answers without its player
        // runtime: its load stalled in the engine before any of this
        // program's or the game's work began (seen twice in loaded full
        // runs: the runtime's script was never asked of the portal). A
        // page with its player, or one that cannot answer at all (its
        // renderer gone), fails at once.
        const QJsonObject state = QJsonDocument::fromJson(page.toUtf8()).object();
        if (attempt == 2 || !state.contains(QLatin1String("player")) || state.value(QLatin1String("player")).toBool())
            return -1;
        qWarning("the player runtime never reached the game page: playing again");
    }
    return counts().value(before);
}

bool SaveGame::PressSpace(GameBox &box, const Counts &counts, int times)
{
    QWidget *input = box.w->game()->Web2()->focusProxy();
    // A click gives the player the keyboard.
    QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(input->width() / 2, input->height() / 2));
    for (int i = 0; i < times; ++i) {
        const int last = counts().last();
        const int before = counts().size();
        QTest::keyClick(input, Qt::Key_Space);
        if (!KavoTest::WaitUntil([&] { return counts().size() > before; }, 20000)) {
            qWarning("press %d was not reported", i + 1);
            return false;
        }
        if (counts().last() != last + 1) {
            qWarning("press %d reported %d after %d", i + 1, counts().last(), last);
            return false;
        }
    }
    return true;
}
