// Where the program reads its installed files and keeps its data: a portable
// folder, an installed folder with per-user data, and the command a desktop
// entry runs.
#include "common/apppaths.h"
#include "support/core/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{
// Sets an environment variable for one scope.
class EnvValue
{
public:
    EnvValue(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvValue()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};
}

class TestAppPaths : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void perUserFolder_data()
    {
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected");

        QTest::newRow("XDG_DATA_HOME") << "/x/data" << "/home/u" << "/x/data/kavo-gamebox";
        QTest::newRow("trailing slash") << "/x/data/" << "/home/u" << "/x/data/kavo-gamebox";
        QTest::newRow("unset") << "" << "/home/u" << "/home/u/.local/share/kavo-gamebox";
        QTest::newRow("relative is ignored") << "data" << "/home/u" << "/home/u/.local/share/kavo-gamebox";
        QTest::newRow("no usable folder") << "data" << "" << "";
        QTest::newRow("relative home") << "" << "home/u" << "";
    }

    void perUserFolder()
    {
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        QCOMPARE(AppPaths::PerUserFolder(xdgDataHome, home), expected);
    }

    void writableFolderIsPortable()
    {
        QTemporaryDir dir;
        const EnvValue xdg("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
        const AppPaths paths = AppPaths::ForExecutable(dir.filePath(QStringLiteral("play")));
        QVERIFY(!paths.isPerUser());
        QCOMPARE(paths.appDir(), dir.path());
        QCOMPARE(paths.installedDir(), dir.path());
        QCOMPARE(paths.configPath(), dir.path() + QStringLiteral("/config.ini"));
        QCOMPARE(paths.dataFile(QStringLiteral("n.htm")), dir.path() + QStringLiteral("/app/n.htm"));
        QCOMPARE(paths.installedAppFile(QStringLiteral("flash.htm")), dir.path() + QStringLiteral("/app/flash.htm"));
        QCOMPARE(paths.flashFile(QStringLiteral("12")), dir.path() + QStringLiteral("/flash/12.swf"));
        QCOMPARE(paths.launcherPath(), dir.path() + QStringLiteral("/play"));
    }

    void installedFolderKeepsDataPerUser()
    {
        // Root may write anywhere, so the package's marker is what makes an
        // installed folder read-only here.
        QTemporaryDir dir;
        const QString installed = dir.filePath(QStringLiteral("lib/kavo-gamebox"));
        QVERIFY(WriteFile(installed + QLatin1Char('/') + AppPaths::SYSTEM_INSTALL_MARKER, QByteArray()));
        const QString data = dir.filePath(QStringLiteral("home/data"));

        {
            const EnvValue xdg("XDG_DATA_HOME", data.toUtf8());
            const AppPaths paths = AppPaths::ForExecutable(installed + QStringLiteral("/play"));
            QVERIFY(paths.isPerUser());
            QCOMPARE(paths.installedDir(), installed);
            QCOMPARE(paths.installedAppDir(), installed + QStringLiteral("/app"));
            QCOMPARE(paths.installedAppFile(QStringLiteral("i.gif")), installed + QStringLiteral("/app/i.gif"));
            QCOMPARE(paths.installedAppFile(QStringLiteral("ruffle/ruffle.js")),
                     installed + QStringLiteral("/app/ruffle/ruffle.js"));
            const QString root = data + QStringLiteral("/kavo-gamebox");
            QCOMPARE(paths.appDir(), root);
            QCOMPARE(paths.configPath(), root + QStringLiteral("/config.ini"));
            QCOMPARE(paths.dataDir(), root + QStringLiteral("/app"));
            QCOMPARE(paths.dataFile(QStringLiteral("date_n.dat")), root + QStringLiteral("/app/date_n.dat"));
            QCOMPARE(paths.flashDir(), root + QStringLiteral("/flash"));
            QCOMPARE(paths.flashFile(QStringLiteral("7")), root + QStringLiteral("/flash/7.swf"));
        }
        {
            const EnvValue xdg("XDG_DATA_HOME", QByteArray());
            const EnvValue home("HOME", dir.filePath(QStringLiteral("home")).toUtf8());
            const AppPaths paths = AppPaths::ForExecutable(installed + QStringLiteral("/play"));
            QCOMPARE(paths.appDir(), dir.filePath(QStringLiteral("home/.local/share/kavo-gamebox")));
        }
    }

    void launcherIsThePackageCommandWhenItLeadsHere()
    {
        QTemporaryDir dir;
        const QString exe = dir.filePath(QStringLiteral("usr/lib/kavo-gamebox/play"));
        QVERIFY(WriteFile(exe, QByteArray()));
        QVERIFY(WriteFile(dir.filePath(QStringLiteral("other/play")), QByteArray()));
        const QString command = dir.filePath(QStringLiteral("usr/bin/kavo-gamebox"));
        QVERIFY(QDir().mkpath(QFileInfo(command).absolutePath()));

        QCOMPARE(AppPaths::ForExecutable(exe).launcherPath(), exe);
        QVERIFY(QFile::link(QStringLiteral("../../other/play"), command));
        QCOMPARE(AppPaths::ForExecutable(exe).launcherPath(), exe);
        QVERIFY(QFile::remove(command));
        QVERIFY(QFile::link(QStringLiteral("../lib/kavo-gamebox/play"), command));
        QCOMPARE(AppPaths::ForExecutable(exe).launcherPath(), command);
    }
};

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_apppaths.moc"
