#include "support/pagescript.h"

#include "portal/gui/webpane.h"
#include "support/eventwait.h"

#include <QCursor>
#include <QTest>

#include <memory>

namespace
{
constexpr int SCRIPT_ANSWER_TIMEOUT_MS = 5000;

QString documentOf(const QString &frame)
{
    return frame.isEmpty() ? QStringLiteral("document") : QStringLiteral("frames['%1'].document").arg(frame);
}
}

QVariant PageScript::js(WebPane *pane, const QString &code, quint32 world)
{
    // Shared with the callback, which may run after this call has given up.
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
    if (!KavoTest::WaitUntil([&] { return answer->done; }, SCRIPT_ANSWER_TIMEOUT_MS))
        qWarning("script did not answer: %s", qPrintable(code.left(200)));
    return answer->result;
}

void PageScript::followLink(WebPane *pane, const QString &href, const QString &frame)
{
    QString quoted = href;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    js(pane, QStringLiteral("(function(){var d=%1;var a=d.createElement('a');a.setAttribute('href','%2');"
                            "a.textContent='x';d.body.appendChild(a);a.click();a.remove();})()")
                 .arg(documentOf(frame), quoted));
}

void PageScript::clickElement(WebPane *pane, const QString &selector, const QString &frame)
{
    js(pane, QStringLiteral("%1.querySelector('%2').click()").arg(documentOf(frame), selector));
}

QPoint PageScript::centreOf(WebPane *pane, const QString &selector, const QString &frame)
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

void PageScript::rightClick(WebPane *pane, const QPoint &pos)
{
    QCursor::setPos(pane->mapToGlobal(pos));
    QTest::mouseClick(pane->focusProxy(), Qt::RightButton, {}, pos);
}
