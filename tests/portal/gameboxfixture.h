#pragma once

// The main window on a fresh application folder against the demo portal,
// with helpers that act in its panes the way a user or a page does and that
// answer the message boxes and menus the window opens.

#include "common/apppaths.h"
#include "common/textcodec.h"
#include "lists/gamelist.h"
#include "portal/gui/webpane.h"
#include "mainwindow/ba1.h"
#include "shell/gui/picturebox.h"
#include "startup/processentry.h"
#include "support/dialoganswers.h"
#include "support/portalserver.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineScript>

#include <memory>

class GameBox
{
    // Declared first so that the folder and the portal outlive the window.
    QTemporaryDir m_dir;

public:
    AppPaths paths;
    PortalServer portal;
    std::unique_ptr<BA1> w;

    GameBox() : paths(m_dir.path()) {}

    // Starts the portal and the window; waits until the portal page shows
    // its games inside the frame "tuzomain".
    bool start(const QStringList &portalSwitches = {}, bool waitForPortal = true)
    {
        if (!portal.start(portalSwitches)) {
            qWarning("portal: %s", qPrintable(portal.errorString()));
            return false;
        }
        return openWindow(waitForPortal);
    }

    // Opens the window on whatever the portal is doing (it may be stopped).
    bool openWindow(bool waitForPortal = true)
    {
        PrepareApplicationFolder(paths);
        // A stand-in for the installed local player page, unless a test has
        // put the real one there (placeDownloadedGame).
        if (!QFile::exists(paths.dataFile(QStringLiteral("flash.htm"))))
            writeFile(paths.dataFile(QStringLiteral("flash.htm")), "<!DOCTYPE html><html><body>local player</body></html>");
        w = std::make_unique<BA1>(paths, portal.baseUrl());
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get(), 10000)) {
            qWarning("the main window was not shown");
            return false;
        }
        if (waitForPortal && !portalReady()) {
            qWarning("the portal page did not load");
            return false;
        }
        return true;
    }

    QString base() const { return portal.baseUrl(); }

    // The portal page and its frame have loaded. A fresh window takes a
    // while: every pane starts its own page at once.
    bool portalReady(int timeout = 40000)
    {
        return QTest::qWaitFor([&] {
            return js(w->Web1, QStringLiteral("document.readyState == 'complete' && !!(frames['tuzomain']"
                                              " && frames['tuzomain'].document.readyState == 'complete'"
                                              " && frames['tuzomain'].document.getElementById('g101'))"))
                .toBool();
        }, timeout);
    }

    static bool writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    }

    // A game downloaded earlier: the portal's game `id` in flash/, its record
    // in the downloads list and page, and the installed local player with
    // the Flash runtime in place of the stand-in page.
    bool placeDownloadedGame(const QString &id, const QString &escapedName)
    {
        const QString appData = QStringLiteral(KAVO_APP_DIR) + QStringLiteral("/app/");
        PrepareApplicationFolder(paths);
        QFile::remove(paths.dataFile(QStringLiteral("flash.htm")));
        return QDir().mkpath(paths.flashDir())
            && QFile::copy(PortalServer::gamesDir() + QLatin1Char('/') + id + QStringLiteral(".swf"), paths.flashFile(id))
            && QFile::copy(appData + QStringLiteral("flash.htm"), paths.dataFile(QStringLiteral("flash.htm")))
            && QFile::link(appData + QStringLiteral("ruffle"), paths.dataFile(QStringLiteral("ruffle")))
            && AddGameRecord(paths, escapedName, id, id, 1, QStringLiteral("date_d.dat"));
    }

    // The lines of a list file (CR LF, GBK), the last empty line dropped.
    QStringList listLines(const QString &listFile) const
    {
        QFile f(paths.dataFile(listFile));
        if (!f.open(QIODevice::ReadOnly))
            return {QStringLiteral("<missing>")};
        QStringList lines = TextCodec::fromAnsi(f.readAll()).split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    void setList(const QString &listFile, const QStringList &records)
    {
        writeFile(paths.dataFile(listFile), TextCodec::toAnsi(records.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    }

    // Runs a script in the page and waits a while for its result. A page
    // busy loading may answer after that, so the answer goes to shared state.
    static QVariant js(WebPane *pane, const QString &code, quint32 world = QWebEngineScript::MainWorld)
    {
        struct Answer
        {
            QVariant result;
            bool done = false;
        };
        const auto answer = std::make_shared<Answer>();
        pane->page()->runJavaScript(code, world, [answer](const QVariant &v) {
            answer->result = v;
            answer->done = true;
        });
        QTest::qWaitFor([&] { return answer->done; }, 5000);
        return answer->result;
    }

    // A page follows a link it has just written, as a portal script does:
    // the address reaches the window exactly as written. `frame` names a
    // frame of the top page, empty for the top page itself.
    static void followLink(WebPane *pane, const QString &href, const QString &frame = QString())
    {
        const QString doc = frame.isEmpty() ? QStringLiteral("document")
                                            : QStringLiteral("frames['%1'].document").arg(frame);
        QString quoted = href;
        quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
        js(pane, QStringLiteral("(function(){var d=%1;var a=d.createElement('a');a.setAttribute('href','%2');"
                                "a.textContent='x';d.body.appendChild(a);a.click();a.remove();})()")
                     .arg(doc, quoted));
    }

    // Clicks an element of the page (or of a frame) by script.
    static void clickElement(WebPane *pane, const QString &selector, const QString &frame = QString())
    {
        const QString doc = frame.isEmpty() ? QStringLiteral("document")
                                            : QStringLiteral("frames['%1'].document").arg(frame);
        js(pane, QStringLiteral("%1.querySelector('%2').click()").arg(doc, selector));
    }

    // Centre of an element in pane coordinates, scrolled into view first;
    // (-1, -1) when it is missing.
    static QPoint centreOf(WebPane *pane, const QString &selector, const QString &frame = QString())
    {
        const QString code = frame.isEmpty()
            ? QStringLiteral("(function(){var e=document.querySelector('%1');if(!e)return [];e.scrollIntoView({block:'center'});"
                             "var r=e.getBoundingClientRect();return [r.left+r.width/2, r.top+r.height/2];})()")
                  .arg(selector)
            : QStringLiteral("(function(){var f=document.querySelector('iframe[name=%1]');"
                             "var e=f&&frames['%1'].document.querySelector('%2');if(!e)return [];e.scrollIntoView({block:'center'});"
                             "var o=f.getBoundingClientRect(),r=e.getBoundingClientRect();"
                             "return [o.left+f.clientLeft+r.left+r.width/2, o.top+f.clientTop+r.top+r.height/2];})()")
                  .arg(frame, selector);
        const QVariantList xy = js(pane, code).toList();
        return xy.size() == 2 ? QPoint(xy[0].toInt(), xy[1].toInt()) : QPoint(-1, -1);
    }

    // The pointer goes there first: menus open where the pointer is.
    static void rightClick(WebPane *pane, const QPoint &pos)
    {
        QCursor::setPos(pane->mapToGlobal(pos));
        QTest::mouseClick(pane->focusProxy(), Qt::RightButton, {}, pos);
    }
};
