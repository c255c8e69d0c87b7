// Kills a writer with SIGKILL at random moments while it adds games to a full
// downloads list or writes a setting, and checks after every kill that the
// files hold exactly one of the versions the writer made, that the page
// describes its list, and that the next start leaves no temporary file.
// KAVO_CRASH_KILLS sets the number of kills of each kind (default 200).
#include "crashcase.h"

#include "common/apppaths.h"
#include "common/safefile.h"
#include "common/textcodec.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"
#include "startup/leftoverfiles.h"
#include "startup/settings.h"
#include "startup/settingsstore.h"
#include "support/core/files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

namespace
{
constexpr qint64 FIRST_ID = 1000000;
const QString DOWNLOADS = QStringLiteral("date_d.dat");

int killCount()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("KAVO_CRASH_KILLS", &ok);
    return ok && n > 0 ? n : 200;
}

void addGame(const AppPaths &paths, qint64 id)
{
    const QString text = QString::number(id);
    QVERIFY(AddGameRecord(paths, CrashTestGameName(id), text, QStringLiteral("g/") + text + QStringLiteral(".swf"),
                          1, DOWNLOADS));
}

// Starts the writer, lets it run for a random time and kills it.
void runAndKill(const QString &mode, const QString &folder, qint64 first, int maxDelayMs)
{
    QProcess writer;
    writer.start(QStringLiteral(KAVO_CRASHWRITER), {mode, folder, QString::number(first)});
    QVERIFY2(writer.waitForReadyRead(30000), "the writer did not start");
    // The kill lands at a random moment of the writer's work, not after an
    // event: that is the point of the test.
    QThread::usleep(QRandomGenerator::global()->bounded(maxDelayMs * 1000 + 1));
    ::kill(pid_t(writer.processId()), SIGKILL);
    QVERIFY(writer.waitForFinished(30000));
    QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
}
}

class TestCrashConsistency : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listAddsSurviveKills();
    void settingsWritesSurviveKills();
};

void TestCrashConsistency::listAddsSurviveKills()
{
    QTemporaryDir dir;
    QTemporaryDir referenceDir;
    const AppPaths paths(dir.path());
    const AppPaths reference(referenceDir.path());
    QString full;
    for (int i = 0; i < 2001; ++i)
        full += CrashTestGameName(i) + QStringLiteral("|%1|g/%1.swf|1\r\n").arg(i);
    for (const AppPaths &p : {paths, reference}) {
        QVERIFY(QDir().mkpath(p.dataDir()));
        QVERIFY(SafeFile::writeWhole(p.dataFile(DOWNLOADS), TextCodec::toAnsi(full)));
        QVERIFY(GenerateListPage(p, DOWNLOADS));
    }

    // The reference folder makes every version the writer makes, in order,
    // without being killed. The first add also tells how long an add takes.
    QElapsedTimer timer;
    timer.start();
    addGame(reference, FIRST_ID);
    const int addMs = qMax<int>(2, int(timer.elapsed()));
    QByteArray referenceList = ReadFile(reference.dataFile(DOWNLOADS));
    qint64 referenceId = FIRST_ID;
    QByteArray previousList = ReadFile(paths.dataFile(DOWNLOADS));

    int changed = 0, leftovers = 0, stalePages = 0, completedPages = 0;
    qint64 next = FIRST_ID;
    const int kills = killCount();
    for (int k = 0; k < kills; ++k) {
        runAndKill(QStringLiteral("lists"), dir.path(), next, addMs * 4);
        if (QTest::currentTestFailed())
            return;

        const QByteArray list = ReadFile(paths.dataFile(DOWNLOADS));
        const auto lines = ReadListLines(paths.dataFile(DOWNLOADS));
        QVERIFY(lines && !lines->isEmpty());
        const qint64 top = lines->first().section(QLatin1Char('|'), 1, 1).toLongLong();
        if (list != previousList) {
            // A new version: the game after the last one seen or a later one.
            QVERIFY2(top >= next, qPrintable(lines->first()));
            ++changed;
            while (referenceId < top)
                addGame(reference, ++referenceId);
            referenceList = ReadFile(reference.dataFile(DOWNLOADS));
            QCOMPARE(list, referenceList);
            next = top + 1;
        }
        previousList = list;
        const QByteArray page = ReadFile(paths.dataFile(QStringLiteral("d.htm")));
        const bool pageBehind = page != ListPageBytes(*lines);

        // The next start.
        const QStringList before = EntriesUnder(dir.path());
        leftovers += int(before.size()) - 2;
        RemoveLeftoverFiles(paths);
        QCOMPARE(EntriesUnder(dir.path()), QStringList({"app", "app/d.htm", "app/date_d.dat"}));
        const bool pageStale = ReadFile(paths.dataFile(QStringLiteral("d.htm"))) != ListPageBytes(*lines);
        completedPages += pageBehind && !pageStale;
        stalePages += pageStale;
        QVERIFY2(!pageStale, "the page does not describe its list after a start");
    }
    qInfo("list adds: %d kills, %d new versions, %d temporary files left by kills and removed at the next "
          "start, %d pages completed at the next start, %d stale pages, 0 leftovers after the start",
          kills, changed, leftovers, completedPages, stalePages);
    QVERIFY(changed > 0);
}

void TestCrashConsistency::settingsWritesSurviveKills()
{
    QTemporaryDir dir;
    const AppPaths paths(dir.path());
    InitSettings(paths.configPath(), [] { return QStringLiteral("00-11-22-33-44-55"); });
    const QByteArray text = ReadFile(paths.configPath());
    const auto expected = [&text](qint64 value) {
        QByteArray out = text;
        return out.replace("h_w=13550\r\n", "h_w=" + QByteArray::number(value) + "\r\n");
    };

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 20; ++i)
        WriteIniValue(paths.configPath(), QStringLiteral("S_q"), QStringLiteral("h_w"), QStringLiteral("13550"));
    const int writeMs = qMax<int>(2, int(timer.elapsed() / 20));

    int changed = 0, leftovers = 0;
    qint64 last = 13550;
    qint64 next = 1;
    const int kills = killCount();
    for (int k = 0; k < kills; ++k) {
        runAndKill(QStringLiteral("settings"), dir.path(), next, writeMs * 4);
        if (QTest::currentTestFailed())
            return;
        const qint64 value = ReadIniValue(paths.configPath(), QStringLiteral("S_q"), QStringLiteral("h_w"),
                                          QStringLiteral("0")).toLongLong();
        if (value != last) {
            // A later value than any seen before.
            QVERIFY2(value >= next, qPrintable(QString::number(value)));
            ++changed;
            last = value;
            next = value + 1;
        }
        // The file is whole: exactly the version with that value.
        QCOMPARE(ReadFile(paths.configPath()), expected(value));
        leftovers += int(EntriesUnder(dir.path()).size()) - 1;
        RemoveLeftoverFiles(paths);
        QCOMPARE(EntriesUnder(dir.path()), QStringList{QStringLiteral("config.ini")});
    }
    qInfo("settings writes: %d kills, %d new versions, %d temporary files left by kills and removed at the "
          "next start, 0 leftovers after the start",
          kills, changed, leftovers);
    QVERIFY(changed > 0);
}

QTEST_GUILESS_MAIN(TestCrashConsistency)
#include "tst_crashconsistency.moc"
