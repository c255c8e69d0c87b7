// The game download command of the main window against the demo portal in its
// fault modes: refusals, status texts, the downloads list record, the saved
// bytes, nothing left after a failure or a cancel, and the downloaded game
// playing from the local player page with the portal stopped.
#include "support/gamebox.h"
#include "support/portalserver.h"

#include "download/gui/bkdlcontrol.h"
#include "lists/gamelist.h"
#include "shell/gui/trayicon.h"
#include "support/core/files.h"
#include "support/eventwait.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QtTest>

namespace
{
// The portal's generated big file: a plain movie's header, then byte i is
// i % 251.
QByteArray generated(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char(i % 251);
    const char header[8] = {'F', 'W', 'S', 10, char(size & 0xff), char((size >> 8) & 0xff), char((size >> 16) & 0xff),
                            char((size >> 24) & 0xff)};
    bytes.replace(0, 8, QByteArray(header, 8));
    return bytes;
}
} // namespace

class TestUiXiazai : public QObject
{
    Q_OBJECT

private:
    PortalServer m_portal;
    std::unique_ptr<GameBox> m_game;
    BA1 *w = nullptr;
    // The status label after each event of the download control.
    QStringList m_captions;

    QString game(const QString &id, const QString &path, const QString &name = QStringLiteral("游戏")) const
    {
        return QStringLiteral("tuzoflash://%1$$$%2%3$$$%4").arg(id, m_portal.baseUrl(), path, name);
    }
    QString flash(const QString &file = QString()) const { return w->paths().flashDir() + QLatin1Char('/') + file; }
    QStringList flashFiles() const
    {
        return QDir(flash()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    QStringList downloadsList() const
    {
        return ReadListLines(w->paths().dataFile(QStringLiteral("date_d.dat"))).value_or(QStringList{});
    }
    // Starts the download of `command` from a clean label and caption log.
    void start(const QString &command)
    {
        m_captions.clear();
        m_game->play(command);
        w->c_z_click(Tool::Download);
    }
    bool waitUntilIdle(int timeoutMs = 20000)
    {
        return KavoTest::WaitUntil([this] { return !w->DL()->isDownloading(); }, timeoutMs);
    }
    QStringList progressCaptions() const
    {
        return m_captions.filter(QRegularExpression(QStringLiteral("^\\d+% ")));
    }

private Q_SLOTS:
    void initTestCase();
    void refusals_data();
    void refusals();
    void downloadSavesTheGameAndListsItAtOnce();
    void progressWithAndWithoutSize();
    void failures_data();
    void failures();
    void secondDownloadWhileOneRunsAndCancel();
    void captionsOfEveryEvent();
    void downloadedGamePlaysWithThePortalStopped();
};

void TestUiXiazai::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("js=false"));
    QVERIFY2(m_portal.start({QStringLiteral("--fault"), QStringLiteral("/games/105.swf=404"),
                             QStringLiteral("--fault"), QStringLiteral("/games/106.swf=empty"),
                             QStringLiteral("--fault"), QStringLiteral("/games/108.swf=captive"),
                             QStringLiteral("--fault"), QStringLiteral("/games/109.swf=random"),
                             QStringLiteral("--fault"), QStringLiteral("/games/103.swf=redirect:/games/101.swf"),
                             QStringLiteral("--fault"), QStringLiteral("/games/102.swf=chunked,slow:8000"),
                             QStringLiteral("--fault"), QStringLiteral("/games/107.swf=stall:700"),
                             QStringLiteral("--fault"), QStringLiteral("/games/101.swf=slow:1500"),
                             QStringLiteral("--big-file"), QStringLiteral("/big/3.swf=3")}),
             qPrintable(m_portal.errorString()));
    m_game = std::make_unique<GameBox>(m_portal.baseUrl());
    w = m_game->w.get();
    QVERIFY(m_game->show());
    // Connected after the window's own handlers, so each entry is the caption
    // the window made of that event.
    auto note = [this] { m_captions << w->game()->lblCount()->text(); };
    connect(w->DL(), &bkDLControl::DLBeginDownload, this, note);
    connect(w->DL(), &bkDLControl::DLProgress, this, note);
    connect(w->DL(), &bkDLControl::DLCanceled, this, note);
    connect(w->DL(), &bkDLControl::DLError, this, note);
    connect(w->DL(), &bkDLControl::DLComplete, this, note);
}

void TestUiXiazai::refusals_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("message"); // empty: no message box
    QTest::addColumn<QString>("gameName"); // after the play command and the refusal

    const QString h = QStringLiteral("http://127.0.0.1:9/");
    // The first row, before any game was played.
    QTest::newRow("no game") << QString() << QStringLiteral("当前没有游戏") << QStringLiteral("0");
    QTest::newRow("points game") << QStringLiteral("tuzojf://5$$$") + h + QStringLiteral("5.swf$$$N")
                                 << QStringLiteral("当前游戏为积分游戏，不能下载！") << QStringLiteral("N");
    QTest::newRow("upper-case extension") << QStringLiteral("tuzoflash://5$$$") + h + QStringLiteral("5.SWF$$$大写")
                                          << QStringLiteral("当前游戏文件不能下载！") << QStringLiteral("大写");
    QTest::newRow("https") << QStringLiteral("tuzoflash://5$$$https://127.0.0.1:9/5.swf$$$N/")
                           << QStringLiteral("当前游戏文件不能下载！") << QStringLiteral("N");
    QTest::newRow("no address") << QStringLiteral("tuzoflash://5") << QStringLiteral("当前游戏文件不能下载！")
                                << QStringLiteral("旧");
    // The id names the saved file: only plain decimal ids are taken.
    QTest::newRow("id leaving the folder") << QStringLiteral("tuzoflash://../../x$$$") + h + QStringLiteral("5.swf$$$N")
                                           << QStringLiteral("当前游戏文件不能下载！") << QStringLiteral("N");
}

void TestUiXiazai::refusals()
{
    QFETCH(QString, command);
    QFETCH(QString, message);
    QFETCH(QString, gameName);
    const QStringList listBefore = downloadsList();
    if (!command.isEmpty()) {
        // A game of that name before, so that a command without one keeps it.
        m_game->play(QStringLiteral("tuzoflash://1$$$http://127.0.0.1:9/1.swf$$$旧"));
        m_game->play(command);
    }
    w->game()->lblCount()->setText(QStringLiteral("-"));
    w->TrayBalloon(QString());
    MessageAnswer boxes(QMessageBox::Ok);
    w->xiazai();
    // What the command left queued has run (a message box is modal inside it).
    QVERIFY(KavoTest::Settle());

    QCOMPARE(boxes.texts, message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty())
        QCOMPARE(boxes.titles.first(), QStringLiteral("Kavo游戏盒"));
    QCOMPARE(w->state().CurrentGameName, gameName);
    QCOMPARE(w->game()->lblCount()->text(), QStringLiteral("-"));
    QCOMPARE(w->tray()->lastBalloon().text, QString());
    QVERIFY(!w->DL()->isDownloading());
    QCOMPARE(downloadsList(), listBefore);
    QVERIFY(flashFiles().isEmpty());
    // Nothing is written beside the application folder either.
    QVERIFY(!QFileInfo::exists(w->paths().appDir() + QStringLiteral("/../x.swf")));
}

void TestUiXiazai::downloadSavesTheGameAndListsItAtOnce()
{
    // A trailing "/" is not part of the name.
    start(game(QStringLiteral("104"), QStringLiteral("games/104.swf"), QStringLiteral("%u98CE%u8F66/")));
    QVERIFY(w->DL()->isDownloading());
    QCOMPARE(w->state().CurrentGameName, QStringLiteral("%u98CE%u8F66"));
    // Listed before the download has finished.
    QCOMPARE(downloadsList().value(0), QStringLiteral("%u98CE%u8F66|104|104|1"));

    QVERIFY(waitUntilIdle());
    QCOMPARE(w->game()->lblCount()->text(), QStringLiteral("游戏下载完毕!"));
    QCOMPARE(m_captions.first(), QStringLiteral("正在准备下载.."));
    QCOMPARE(progressCaptions().last(), QStringLiteral("100% 大小：6k"));
    QCOMPARE(m_captions.last(), QStringLiteral("游戏下载完毕!"));
    QCOMPARE(ReadFile(flash(QStringLiteral("104.swf"))), ReadFile(PortalServer::gamesDir() + QStringLiteral("/104.swf")));
    QCOMPARE(flashFiles(), QStringList{QStringLiteral("104.swf")});

    // The same game again: already there, nothing fetched, the list unchanged.
    const QStringList list = downloadsList();
    const int fetches = m_portal.requests().count(QStringLiteral("/games/104.swf"));
    start(game(QStringLiteral("104"), QStringLiteral("games/104.swf"), QStringLiteral("%u98CE%u8F66")));
    QCOMPARE(w->game()->lblCount()->text(), QStringLiteral("该游戏已经下载过！"));
    QVERIFY(!w->DL()->isDownloading());
    QCOMPARE(downloadsList(), list);
    // No download was started (isDownloading above), and nothing queued
    // starts one later.
    QVERIFY(KavoTest::Settle());
    QCOMPARE(m_portal.requests().count(QStringLiteral("/games/104.swf")), fetches);
}

void TestUiXiazai::progressWithAndWithoutSize()
{
    // With a size: percentages of the total, which reads 3M throughout. The
    // id with a leading zero is listed by its number.
    start(game(QStringLiteral("0300"), QStringLiteral("big/3.swf")));
    QCOMPARE(downloadsList().value(0), QStringLiteral("游戏|300|0300|1"));
    QVERIFY(waitUntilIdle());
    QCOMPARE(w->game()->lblCount()->text(), QStringLiteral("游戏下载完毕!"));
    const QStringList sized = progressCaptions();
    QVERIFY(!sized.isEmpty());
    int last = -1;
    for (const QString &caption : sized) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(\\d+)% 大小：3M$")).match(caption);
        QVERIFY2(m.hasMatch(), qPrintable(caption));
        QVERIFY(m.captured(1).toInt() >= last);
        last = m.captured(1).toInt();
    }
    QCOMPARE(sized.last(), QStringLiteral("100% 大小：3M"));
    QVERIFY(ReadFile(flash(QStringLiteral("0300.swf"))) == generated(3 * 1024 * 1024));

    // Without a size: 0% and 0b until it completes.
    start(game(QStringLiteral("102"), QStringLiteral("games/102.swf")));
    QVERIFY(waitUntilIdle());
    QCOMPARE(w->game()->lblCount()->text(), QStringLiteral("游戏下载完毕!"));
    QVERIFY(!progressCaptions().isEmpty());
    for (const QString &caption : progressCaptions())
        QCOMPARE(caption, QStringLiteral("0% 大小：0b"));
    QCOMPARE(ReadFile(flash(QStringLiteral("102.swf"))), ReadFile(PortalServer::gamesDir() + QStringLiteral("/102.swf")));
}

void TestUiXiazai::failures_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("idleTimeout");
    QTest::addColumn<bool>("keepsPart");
    QTest::newRow("not found") << QStringLiteral("105") << QStringLiteral("下载出错： 未知错误！") << 0 << false;
    QTest::newRow("redirect") << QStringLiteral("103") << QStringLiteral("下载出错： 文件不存在重定向！") << 0 << false;
    QTest::newRow("empty") << QStringLiteral("106") << QStringLiteral("下载出错： 0字节接收！") << 0 << false;
    // Bodies that are no game, answered with 200: a captive portal's login
    // page, random bytes.
    QTest::newRow("login page") << QStringLiteral("108") << QStringLiteral("下载出错： 未知错误！") << 0 << false;
    QTest::newRow("random bytes") << QStringLiteral("109") << QStringLiteral("下载出错： 未知错误！") << 0 << false;
    // A server that stops sending mid-file: what arrived is kept beside the
    // game's name for the next click.
    QTest::newRow("stall") << QStringLiteral("107") << QStringLiteral("下载出错： 未知错误！") << 1000 << true;
}

void TestUiXiazai::failures()
{
    QFETCH(QString, id);
    QFETCH(QString, error);
    QFETCH(int, idleTimeout);
    QFETCH(bool, keepsPart);
    QStringList before = flashFiles();
    if (idleTimeout)
        w->DL()->setIdleTimeout(idleTimeout);
    start(game(id, QStringLiteral("games/") + id + QStringLiteral(".swf"), QStringLiteral("坏") + id));
    QVERIFY(waitUntilIdle());

    QVERIFY2(m_captions.contains(error), qPrintable(m_captions.join(QLatin1Char('|'))));
    QCOMPARE(m_captions.last(), QStringLiteral("游戏下载失败.."));
    QCOMPARE(w->game()->lblCount()->text(), QStringLiteral("游戏下载失败.."));
    // No game file; the list keeps the record.
    if (keepsPart) {
        before << id + QStringLiteral(".swf.part") << id + QStringLiteral(".swf.part.info");
        before.sort();
    }
    QCOMPARE(flashFiles(), before);
    QCOMPARE(downloadsList().value(0), QStringLiteral("坏%1|%1|%1|1").arg(id));

    // A new download is accepted afterwards (and fails the same way).
    start(game(id, QStringLiteral("games/") + id + QStringLiteral(".swf"), QStringLiteral("坏") + id));
    QVERIFY(w->DL()->isDownloading());
    QVERIFY(waitUntilIdle());
    QCOMPARE(m_captions.last(), QStringLiteral("游戏下载失败.."));
    QCOMPARE(flashFiles(), before);
    w->DL()->setIdleTimeout(bkDLControl::DefaultIdleTimeoutMs);
}

void TestUiXiazai::secondDownloadWhileOneRunsAndCancel()
{
    QStringList before = flashFiles();
    start(game(QStringLiteral("101"), QStringLiteral("games/101.swf"), QStringLiteral("慢")));
    QVERIFY(w->DL()->isDownloading());
    QTRY_VERIFY_WITH_TIMEOUT(w->game()->lblCount()->text().endsWith(QStringLiteral("% 大小：7k")), 10000);

    // Another game meanwhile: only a balloon with the current name.
    w->TrayBalloon(QString());
    const QStringList list = downloadsList();
    m_game->play(game(QStringLiteral("104"), QStringLiteral("games/104.swf"), QStringLiteral("别的")));
    MessageAnswer boxes(QMessageBox::Ok);
    w->c_z_click(Tool::Download);
    QCOMPARE(w->tray()->lastBalloon().text, QStringLiteral("别的下载任务还未完成，请稍后操作.."));
    QCOMPARE(downloadsList(), list);
    QVERIFY(w->DL()->isDownloading());
    QCOMPARE(w->DL()->FileURL(), m_portal.baseUrl() + QStringLiteral("games/101.swf"));
    QVERIFY(KavoTest::Settle());
    QVERIFY(boxes.texts.isEmpty());

    w->DL()->CancelDownload();
    QCOMPARE(w->game()->lblCount()->text(), QStringLiteral("下载被取消.."));
    QCOMPARE(m_captions.last(), QStringLiteral("下载被取消.."));
    // Kept for the next click, beside the game's name.
    before << QStringLiteral("101.swf.part") << QStringLiteral("101.swf.part.info");
    before.sort();
    QCOMPARE(flashFiles(), before);
    // The next download is not refused.
    QVERIFY(!w->DL()->isDownloading());
    start(game(QStringLiteral("104"), QStringLiteral("games/104.swf"), QStringLiteral("别的")));
    QCOMPARE(w->game()->lblCount()->text(), QStringLiteral("该游戏已经下载过！"));
}

void TestUiXiazai::captionsOfEveryEvent()
{
    struct Case
    {
        std::function<void()> raise;
        QString caption;
    };
    bkDLControl *dl = w->DL();
    const QList<Case> cases = {
        {[dl] { Q_EMIT dl->DLBeginDownload(); }, QStringLiteral("正在准备下载..")},
        {[dl] { Q_EMIT dl->DLProgress(0.45f, 10, 1258291); }, QStringLiteral("45% 大小：1.2M")},
        {[dl] { Q_EMIT dl->DLProgress(0.0f, 700, 0); }, QStringLiteral("0% 大小：0b")},
        {[dl] { Q_EMIT dl->DLProgress(0.996f, 1, 2097152); }, QStringLiteral("100% 大小：2M")},
        {[dl] { Q_EMIT dl->DLProgress(1.0f, 1, 536870912); }, QStringLiteral("100% 大小：0.5G")},
        {[dl] { Q_EMIT dl->DLCanceled(); }, QStringLiteral("下载被取消..")},
        {[dl] { Q_EMIT dl->DLError(1, QStringLiteral("x")); }, QStringLiteral("下载出错： 下载链接无效！")},
        {[dl] { Q_EMIT dl->DLError(2, QStringLiteral("x")); }, QStringLiteral("下载出错： 文件不存在重定向！")},
        {[dl] { Q_EMIT dl->DLError(3, QStringLiteral("x")); }, QStringLiteral("下载出错： 0字节接收！")},
        {[dl] { Q_EMIT dl->DLError(4, QStringLiteral("x")); }, QStringLiteral("下载出错： 文件保存错误！")},
        {[dl] { Q_EMIT dl->DLError(99, QStringLiteral("x")); }, QStringLiteral("下载出错： 未知错误！")},
        {[dl] { Q_EMIT dl->DLError(5, QStringLiteral("x")); }, QStringLiteral("下载出错： ")},
        {[dl] { Q_EMIT dl->DLComplete(1); }, QStringLiteral("游戏下载完毕!")},
    };
    for (const Case &c : cases) {
        c.raise();
        QCOMPARE(w->game()->lblCount()->text(), c.caption);
    }
    Q_EMIT dl->DLComplete(0);
    QCOMPARE(w->game()->lblCount()->text(), QStringLiteral("游戏下载失败.."));
}

void TestUiXiazai::downloadedGamePlaysWithThePortalStopped()
{
    QVERIFY(m_game->installLocalPlayer());
    m_portal.stop();
    // The downloads list names the game; its file is in the folder flash.
    const int line = downloadsList().indexOf(QStringLiteral("%u98CE%u8F66|104|104|1")) + 1;
    QVERIFY(line > 0);
    QVERIFY(QFileInfo::exists(flash(QStringLiteral("104.swf"))));

    // Opening it from the downloads page plays the local copy.
    w->lc_Click(2);
    w->list()->Web3()->Navigate(QStringLiteral("open://%1").arg(line));
    QCOMPARE(w->state().CurrentTab, Caption::GameTab);
    QCOMPARE(w->state().CurrentGameName, QStringLiteral("%u98CE%u8F66"));
    QTRY_COMPARE_WITH_TIMEOUT(w->game()->Web2()->locationUrl(), w->paths().dataDir() + QStringLiteral("/flash.htm?104"), 5000);
    QVERIFY2(waitForGamePicture(w->game()->Web2()), "the downloaded game never showed");

    // Its download button knows the copy, though the list's record holds the
    // game's number where the address would be.
    MessageAnswer boxes(QMessageBox::Ok);
    w->game()->lblCount()->setText(QString());
    w->c_z_click(Tool::Download);
    QVERIFY(KavoTest::Settle());
    QVERIFY(boxes.texts.isEmpty());
    QCOMPARE(w->game()->lblCount()->text(), QStringLiteral("该游戏已经下载过！"));
    QVERIFY(!w->DL()->isDownloading());
}

QTEST_MAIN(TestUiXiazai)
#include "tst_ui_xiazai.moc"
