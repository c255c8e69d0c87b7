// The update check of a running window against the demo portal's notice:
// what each notice leads to (the offer, the promotions at their times, the
// updater or the installer on consent), and a notice that fails or hangs,
// while the window keeps answering.
#include "services/gui/promotionwindow.h"
#include "shell/gui/imagebutton.h"
#include "support/browserrecorder.h"
#include "support/core/files.h"
#include "support/eventwait.h"
#include "support/gamebox.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QtTest>

#include <optional>

namespace
{
const QString UP_TO_DATE = QStringLiteral("你现在使用的是最新版本，无需升级！");
const QString OFFER_TITLE = QStringLiteral("Kavo游戏盒提示：");

QString offerText(const QString &version)
{
    return QStringLiteral("检测到最新版本 %1 ,你需要现在升级吗？").arg(version);
}

QStringList noticeSwitches(const QString &notice, const QString &fault = QString())
{
    QStringList switches{QStringLiteral("--notice"), notice};
    if (!fault.isEmpty())
        switches << QStringLiteral("--fault") << QStringLiteral("/lib/wenc.txt=") + fault;
    return switches;
}

// The longest time the event loop went without a turn while it runs.
class LoopGapMeter
{
public:
    LoopGapMeter()
    {
        m_tick.setInterval(10);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_longest = qMax(m_longest, m_clock.restart());
        });
        m_clock.start();
        m_tick.start();
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_tick;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

// Quits the window and measures how long the program runs on; nothing when
// the program did not end.
std::optional<qint64> quitAndTimeTheEnd(BA1 *w)
{
    QElapsedTimer clock;
    clock.start();
    if (!endsTheProgram([w] { w->ttt_v(); }, 30000))
        return std::nullopt;
    return clock.elapsed();
}
} // namespace

class TestUiUpdateCheck : public QObject
{
    Q_OBJECT

    // What the program hands to the desktop's browser.
    BrowserRecorder m_browser;

private Q_SLOTS:
    // 1 / 1 / 1.0 with 1.0 installed, read slowly: no offer, the floating
    // window 5 s after the check, the recommendation window for 8 s at quit.
    void noticeAskingForBothPromotions()
    {
        GameBox box;
        QVERIFY(box.start(noticeSwitches(QStringLiteral("1====1====1.0"), QStringLiteral("slow:4")), false));
        BA1 *w = box.w.get();
        QCOMPARE(w->state().InstalledVersion, QStringLiteral("1.0"));
        MessageAnswer answer(QMessageBox::Ok);

        // Before the notice is in, the menu check has nothing to offer.
        w->shengji();
        QCOMPARE(answer.count, 1);
        QCOMPARE(answer.text, UP_TO_DATE);
        QCOMPARE(answer.title, QStringLiteral("提示："));
        QCOMPARE(answer.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        // The read takes seconds; the window goes on answering meanwhile.
        QTRY_VERIFY_WITH_TIMEOUT(w->noticeReading(), 20000);
        LoopGapMeter gaps;
        QTest::mouseClick(w->npc(Caption::ListTab), Qt::LeftButton);
        QCOMPARE(w->state().CurrentTab, Caption::ListTab);
        QTRY_VERIFY_WITH_TIMEOUT(!w->noticeReading(), 30000);
        qInfo("longest wait of the event loop during the slow read: %lld ms", gaps.longestMs());
        QVERIFY(gaps.longestMs() < 1000);
        QElapsedTimer sinceCheck;
        sinceCheck.start();

        QCOMPARE(w->state().ExitPromoFlag, QStringLiteral("1"));
        QCOMPARE(w->state().LatestVersion, QStringLiteral("1.0"));
        QVERIFY(w->Timer2()->isActive());
        QCOMPARE(answer.count, 1);

        QTRY_VERIFY_WITH_TIMEOUT(w->floatingPromotion(), 20000);
        QVERIFY2(sinceCheck.elapsed() >= 4500, qPrintable(QString::number(sinceCheck.elapsed())));
        QVERIFY(!w->Timer2()->isActive());
        QVERIFY(QTest::qWaitForWindowExposed(w->floatingPromotion()));
        QTRY_COMPARE_WITH_TIMEOUT(w->floatingPromotion()->Web1()->locationUrl(),
                                  box.base() + QStringLiteral("js/ads/fudong.html"), 10000);
        w->shengji();
        QCOMPARE(answer.count, 2);
        QCOMPARE(answer.text, UP_TO_DATE);

        // At quit the floating window goes and the recommendation window
        // stays for its 8 seconds; then the program ends.
        QPointer<adsb> floating = w->floatingPromotion();
        bool recommendationSeen = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (ba4 *r = w->exitPromotion(); r && r->isVisible() && !floating && !w->isVisible())
                recommendationSeen = r->windowTitle() == QStringLiteral("推荐");
        });
        watch.start(50);
        const std::optional<qint64> ranOn = quitAndTimeTheEnd(w);
        QVERIFY(ranOn);
        QVERIFY(recommendationSeen);
        QVERIFY2(*ranOn >= ba4::CLOSE_AFTER_MS - 50 && *ranOn < ba4::CLOSE_AFTER_MS + 10000, qPrintable(QString::number(*ranOn)));
        QVERIFY(box.portal.requests().contains(QStringLiteral("/js/ads/tui.html")));
        QTRY_VERIFY(!w->exitPromotion());
        QCOMPARE(answer.count, 2);
    }

    // 0 / 0 / 2.0: the offer names 2.0; No leaves everything as it was, and
    // the menu check offers the same again.
    void offerDeclined()
    {
        GameBox box;
        QVERIFY(box.start(noticeSwitches(QStringLiteral("0====0====2.0")), false));
        BA1 *w = box.w.get();
        MessageAnswer answer(QMessageBox::No);
        QTRY_COMPARE_WITH_TIMEOUT(answer.count, 1, 30000);
        QCOMPARE(answer.text, offerText(QStringLiteral("2.0")));
        QCOMPARE(answer.title, OFFER_TITLE);
        QCOMPARE(answer.buttons, QMessageBox::Yes | QMessageBox::No);
        QTRY_VERIFY(!w->noticeReading());
        QVERIFY(w->isVisible());
        QVERIFY(!w->Timer2()->isActive());
        QCOMPARE(w->state().ExitPromoFlag, QStringLiteral("0"));
        QCOMPARE(w->state().LatestVersion, QStringLiteral("2.0"));

        w->shengji();
        QCOMPARE(answer.count, 2);
        QCOMPARE(answer.text, offerText(QStringLiteral("2.0")));
        QVERIFY(w->isVisible());

        const std::optional<qint64> ranOn = quitAndTimeTheEnd(w);
        QVERIFY(ranOn);
        QVERIFY2(*ranOn < 3000, qPrintable(QString::number(*ranOn)));
        QVERIFY(!w->exitPromotion());
        QVERIFY(!w->floatingPromotion());
    }

    // Yes with the updater beside the executable: it starts, and the program
    // quits without the recommendation window the notice asked for.
    void acceptedWithTheUpdater()
    {
        GameBox box;
        QTemporaryDir scratch;
        const QString marker = scratch.filePath(QStringLiteral("updater-ran"));
        QVERIFY(WriteFile(box.paths.installedDir() + QStringLiteral("/update"),
                                   QStringLiteral("#!/bin/sh\npwd > '%1.tmp' && mv '%1.tmp' '%1'\n").arg(marker).toUtf8()));
        QVERIFY(QFile::setPermissions(box.paths.installedDir() + QStringLiteral("/update"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const int opened = m_browser.opened.size();
        QVERIFY(box.start(noticeSwitches(QStringLiteral("1====1====2.0")), false));
        BA1 *w = box.w.get();
        MessageAnswer answer(QMessageBox::Yes);
        QVERIFY(endsTheProgram([] {}, 40000));
        QCOMPARE(answer.count, 1);
        QCOMPARE(answer.text, offerText(QStringLiteral("2.0")));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), 10000);
        QCOMPARE(QString::fromUtf8(ReadFile(marker)).trimmed(), QFileInfo(box.paths.installedDir()).canonicalFilePath());
        QCOMPARE(w->state().ExitPromoFlag, QStringLiteral("0"));
        QVERIFY(!w->exitPromotion());
        QVERIFY(!w->isVisible());
        QVERIFY(!w->Timer2()->isActive());
        QCOMPARE(m_browser.opened.size(), opened);
    }

    // Yes without it: the installer's address goes to the user's browser,
    // and the program quits. An older latest version is offered too.
    void acceptedWithoutTheUpdater()
    {
        GameBox box;
        const int opened = m_browser.opened.size();
        QVERIFY(box.start(noticeSwitches(QStringLiteral("1====0====0.9")), false));
        BA1 *w = box.w.get();
        MessageAnswer answer(QMessageBox::Yes);
        QVERIFY(endsTheProgram([] {}, 40000));
        QCOMPARE(answer.text, offerText(QStringLiteral("0.9")));
        QTRY_COMPARE_WITH_TIMEOUT(m_browser.opened.mid(opened),
                                  QStringList{box.base() + QStringLiteral("update/setup.exe")}, 10000);
        QVERIFY(!w->exitPromotion());
        QVERIFY(!w->isVisible());
    }

    // An error answer: the check ends silently, the menu finds nothing to
    // offer, and quitting shows no promotion.
    void failedRead()
    {
        GameBox box;
        QVERIFY(box.start(noticeSwitches(QStringLiteral("1====1====2.0"), QStringLiteral("404")), false));
        BA1 *w = box.w.get();
        MessageAnswer answer(QMessageBox::Ok);
        QTRY_VERIFY_WITH_TIMEOUT(box.portal.requests().contains(QStringLiteral("/lib/wenc.txt")), 30000);
        QTRY_VERIFY(!w->noticeReading());
        QCOMPARE(answer.count, 0);
        QVERIFY(w->state().ExitPromoFlag.isEmpty());
        QVERIFY(w->state().LatestVersion.isEmpty());
        QVERIFY(!w->Timer2()->isActive());
        w->shengji();
        QCOMPARE(answer.count, 1);
        QCOMPARE(answer.text, UP_TO_DATE);
        const std::optional<qint64> ranOn = quitAndTimeTheEnd(w);
        QVERIFY(ranOn);
        QVERIFY2(*ranOn < 3000, qPrintable(QString::number(*ranOn)));
        QVERIFY(!w->exitPromotion());
    }

    // The portal sends "1====" and then nothing: the window goes on working
    // the whole time, and after 60 seconds the check ends as a failed read
    // (the bytes that came are not used).
    void stalledRead()
    {
        GameBox box;
        QVERIFY(box.start(noticeSwitches(QStringLiteral("1====1====2.0"), QStringLiteral("stall:5")), false));
        BA1 *w = box.w.get();
        MessageAnswer answer(QMessageBox::Ok);
        QTRY_VERIFY_WITH_TIMEOUT(w->noticeReading(), 20000);
        QElapsedTimer reading;
        reading.start();
        LoopGapMeter gaps;

        QTest::mouseClick(w->npc(Caption::ListTab), Qt::LeftButton);
        QCOMPARE(w->state().CurrentTab, Caption::ListTab);
        QVERIFY(w->zz(2)->isVisible());
        w->shengji();
        QCOMPARE(answer.count, 1);
        QCOMPARE(answer.text, UP_TO_DATE);
        QTest::mouseClick(w->npc(Caption::PortalTab), Qt::LeftButton);
        QCOMPARE(w->state().CurrentTab, Caption::PortalTab);

        QTRY_VERIFY_WITH_TIMEOUT(!w->noticeReading(), BA1::NOTICE_TIMEOUT_MS + 20000);
        const qint64 took = reading.elapsed();
        qInfo("the stalled read ended after %lld ms; longest wait of the event loop meanwhile: %lld ms", took,
              gaps.longestMs());
        QVERIFY2(took >= BA1::NOTICE_TIMEOUT_MS - 1000, qPrintable(QString::number(took)));
        QVERIFY(gaps.longestMs() < 1000);
        QCOMPARE(answer.count, 1);
        QVERIFY(w->state().ExitPromoFlag.isEmpty());
        QVERIFY(w->state().LatestVersion.isEmpty());
        QVERIFY(!w->Timer2()->isActive());
        w->shengji();
        QCOMPARE(answer.text, UP_TO_DATE);
        QVERIFY(quitAndTimeTheEnd(w));
        QVERIFY(!w->exitPromotion());
    }
};

QTEST_MAIN(TestUiUpdateCheck)
#include "tst_ui_updatecheck.moc"
