#include "portal/gui/ba3.h"

#include "portal/gui/webpane.h"
#include "shell/gui/ba1.h"

#include <QAction>
#include <QMenu>
#include <QWebEnginePage>

BA3::BA3(BA1 *main)
    : QWidget(main, Qt::Window)
    , m_main(main)
{
    setWindowTitle(QStringLiteral("菜单"));

    myMenu = new QMenu(this);
    ht = myMenu->addAction(QStringLiteral("后退"), this, &BA3::ht_Click);
    qj = myMenu->addAction(QStringLiteral("前进"), this, &BA3::qj_Click);
    sss = myMenu->addSeparator();
    fz = myMenu->addAction(QStringLiteral("复制"), this, &BA3::fz_Click);
    zt = myMenu->addAction(QStringLiteral("粘贴"), this, &BA3::zt_Click);

    webc = new QMenu(this);
    c_f = webc->addAction(QStringLiteral("开始游戏"), this, &BA3::c_f_Click);
    c_shan = webc->addAction(QStringLiteral("删除游戏"), this, &BA3::c_shan_Click);
}

// The portal pane's commands act on whichever of its documents raised the
// menu; with no page to go back to, or nothing to copy, they do nothing.
void BA3::ht_Click()
{
    m_main->Web1->GoBack();
}

void BA3::qj_Click()
{
    m_main->Web1->GoForward();
}

void BA3::fz_Click()
{
    m_main->Web1->page()->triggerAction(QWebEnginePage::Copy);
}

void BA3::zt_Click()
{
    m_main->Web1->page()->triggerAction(QWebEnginePage::Paste);
}

void BA3::c_f_Click()
{
    m_main->CCC_Click();
}

void BA3::c_shan_Click()
{
    m_main->ddd_Click();
}

BA3 *MenuForm(BA1 *main)
{
    if (auto *form = main->findChild<BA3 *>(QString(), Qt::FindDirectChildrenOnly))
        return form;
    return new BA3(main);
}

void UnloadMenuForm(BA1 *main)
{
    // A menu may be open with this form on the stack below it.
    if (auto *form = main->findChild<BA3 *>(QString(), Qt::FindDirectChildrenOnly)) {
        form->setParent(nullptr);
        form->deleteLater();
    }
}
