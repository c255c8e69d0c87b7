#include "shell/gui/ba1.h"

#include "lists/listpage.h"
#include "portal/gui/webpane.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <cstdio>

BA1::BA1(const AppPaths &paths, const QString &portalBase, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_portalBase(portalBase)
{
    setWindowTitle(QStringLiteral("Kavo游戏盒"));
    createControls();
    Form_Load();
}

BA1::~BA1()
{
    SetListPaneRefresher({});
}

void BA1::createControls()
{
    // A plain arrangement of the panes: a tab row over the five pages, the
    // promotion strip on top; the statistics pane is never shown.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    adweb = new WebPane(this);
    adweb->setFixedHeight(60);
    outer->addWidget(adweb);

    m_tabs = new QTabBar(this);
    for (const char *caption : {"游戏大厅", "正在游戏", "我的游戏", "精品推荐", "单机游戏"})
        m_tabs->addTab(QString::fromUtf8(caption));
    outer->addWidget(m_tabs);

    m_pages = new QStackedWidget(this);
    outer->addWidget(m_pages, 1);
    for (QWidget *&page : zz) {
        page = new QWidget(m_pages);
        auto *lay = new QHBoxLayout(page);
        lay->setContentsMargins(0, 0, 0, 0);
        lay->setSpacing(0);
        m_pages->addWidget(page);
    }
    connect(m_tabs, &QTabBar::currentChanged, m_pages, &QStackedWidget::setCurrentIndex);

    Web1 = new WebPane(zz[0]);
    zz[0]->layout()->addWidget(Web1);
    Web2 = new WebPane(zz[1]);
    Webr = new WebPane(zz[1]);
    Webr->setFixedWidth(200);
    zz[1]->layout()->addWidget(Web2);
    zz[1]->layout()->addWidget(Webr);
    Web3 = new WebPane(zz[2]);
    zz[2]->layout()->addWidget(Web3);
    Web4 = new WebPane(zz[3]);
    zz[3]->layout()->addWidget(Web4);
    Web5 = new WebPane(zz[4]);
    zz[4]->layout()->addWidget(Web5);

    Web6 = new WebPane(this);
    Web6->hide();

    SetListPaneRefresher([this] { Web3->Refresh(); });

    // Opt-in start-up trace for the start-up benchmark (bench/startup_bench.sh).
    if (qEnvironmentVariableIsSet("KAVO_STARTUP_TRACE")) {
        connect(Web1, &QWebEngineView::loadFinished, this, [](bool ok) {
            static bool reported = false;
            if (reported)
                return;
            reported = true;
            std::fprintf(stderr, "kavo-startup loaded %lld ok=%d\n",
                         static_cast<long long>(QDateTime::currentMSecsSinceEpoch()), ok ? 1 : 0);
            std::fflush(stderr);
        });
    }
}
