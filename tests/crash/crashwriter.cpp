// The writer that the crash-consistency test kills: it changes one file of an
// application folder over and over, as the program does, until it is killed.
//
//   kavo-crashwriter lists <app folder> <first id>
//       adds games <first id>, <first id> + 1, ... to the downloads list
//   kavo-crashwriter settings <app folder> <first value>
//       writes <first value>, <first value> + 1, ... as S_q/h_w
//
// It prints "ready" once it has started, before its first change.
#include "crashcase.h"

#include "common/apppaths.h"
#include "lists/gamelist.h"
#include "startup/settingsstore.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    const AppPaths paths(args.at(2));
    bool ok = false;
    qint64 next = args.at(3).toLongLong(&ok);
    if (!ok)
        return 2;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    if (args.at(1) == QLatin1String("lists")) {
        for (;; ++next) {
            const QString id = QString::number(next);
            if (!AddGameRecord(paths, CrashTestGameName(next), id, QStringLiteral("g/") + id + QStringLiteral(".swf"),
                               1, QStringLiteral("date_d.dat")))
                return 1;
        }
    }
    if (args.at(1) == QLatin1String("settings")) {
        for (;; ++next)
            WriteIniValue(paths.configPath(), QStringLiteral("S_q"), QStringLiteral("h_w"), QString::number(next));
    }
    return 2;
}
