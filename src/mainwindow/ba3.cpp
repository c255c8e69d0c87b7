#include "mainwindow/ba3.h"

#include "mainwindow/ba1.h"
#include "portal/gui/webpane.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/windowstate.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QUrl>
#include <QWebEnginePage>

BA3::BA3(BA1 *main)
    : QWidget(main, Qt::Window)
    , m_main(main)
{
    setWindowTitle(QStringLiteral("菜单"));

    m_myMenu = new QMenu(this);
    m_myMenu->addAction(QStringLiteral("后退"), this, &BA3::ht_Click);
    m_myMenu->addAction(QStringLiteral("前进"), this, &BA3::qj_Click);
    m_myMenu->addSeparator();
    m_myMenu->addAction(QStringLiteral("复制"), this, &BA3::fz_Click);
    m_myMenu->addAction(QStringLiteral("粘贴"), this, &BA3::zt_Click);

    m_r_m = new QMenu(this);
    m_r_m->addAction(QStringLiteral("软件设置"), this, &BA3::shezhi_Click);
    m_r_m->addAction(QStringLiteral("关于我们"), this, &BA3::about_Click);
    m_r_m->addAction(QStringLiteral("官方网站"), this, &BA3::guanwang_Click);
    m_r_m->addSeparator();
    m_r_m->addAction(QStringLiteral("升级检测"), this, &BA3::shengji_Click);
    m_r_m->addSeparator();
    m_r_m->addAction(QStringLiteral("退出软件"), this, &BA3::qsoft_Click);

    m_webc = new QMenu(this);
    m_webc->addAction(QStringLiteral("开始游戏"), this, &BA3::c_f_Click);
    m_webc->addAction(QStringLiteral("删除游戏"), this, &BA3::c_shan_Click);
    m_webc->addAction(QStringLiteral("导出存档…"), this, &BA3::c_dc_Click);
    m_webc->addAction(QStringLiteral("导入存档…"), this, &BA3::c_dr_Click);
}

// The portal pane's commands act on whichever of its documents raised the
// menu; with no page to go back to, or nothing to copy, they do nothing.
void BA3::ht_Click()
{
    m_main->Web1()->GoBack();
}

void BA3::qj_Click()
{
    m_main->Web1()->GoForward();
}

void BA3::fz_Click()
{
    m_main->Web1()->page()->triggerAction(QWebEnginePage::Copy);
}

void BA3::zt_Click()
{
    m_main->Web1()->page()->triggerAction(QWebEnginePage::Paste);
}

void BA3::c_f_Click()
{
    m_main->CCC_Click();
}

void BA3::c_shan_Click()
{
    m_main->ddd_Click();
}

void BA3::c_dc_Click()
{
    m_main->ExportSaves_Click();
}

void BA3::c_dr_Click()
{
    m_main->ImportSaves_Click();
}

void BA3::OpenSettingsDialog(BA2::Page page)
{
    // A window that stays on top would cover its own dialog while the
    // dialog maps; the state comes back once the dialog is up.
    const bool onTop = m_main->OnTop();
    if (onTop)
        m_main->zhi_d(0);
    if (!m_main->isVisible()) {
        if (m_main->isMinimized())
            m_main->setWindowState(m_main->windowState() & ~Qt::WindowMinimized);
        ForgetMinimisedState(m_main);
        m_main->show();
        BringToFront(m_main);
    }
    if (m_main->isMinimized()) {
        m_main->setWindowState(m_main->windowState() & ~Qt::WindowMinimized);
        BringToFront(m_main);
    }
    BA2 *dialog = SettingsDialog(m_main);
    dialog->show();
    if (onTop)
        m_main->zhi_d(1);
    if (page == BA2::Page::Settings) {
        BringToFront(dialog);
        dialog->showPage(BA2::Page::Settings);
    } else {
        dialog->showPage(BA2::Page::About);
        BringToFront(dialog);
    }
}

void BA3::shezhi_Click()
{
    OpenSettingsDialog(BA2::Page::Settings);
}

void BA3::about_Click()
{
    OpenSettingsDialog(BA2::Page::About);
}

void BA3::guanwang_Click()
{
    QDesktopServices::openUrl(QUrl(m_main->portalBase()));
}

void BA3::shengji_Click()
{
    m_main->shengji();
}

void BA3::qsoft_Click()
{
    m_main->ttt_v();
}

BA2 *SettingsDialog(BA1 *main)
{
    return SettingsDialog(main, main->paths(), main->skinStrips());
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
