#include "mainwindow/ba1.h"

#include "mainwindow/gamepagepart.h"
#include "mainwindow/listpagepart.h"
#include "mainwindow/windowkit.h"

#include "portal/gui/webpane.h"
#include "player/gui/savestorage.h"
#include "portal/gui/webprofile.h"
#include "resources/gui/skinresources.h"
#include "shell/framegeometry.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "shell/gui/skinaccessible.h"

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

using namespace WindowKit;

namespace
{
// Design size of the window: 13550 x 9210 twips.
constexpr int DESIGN_WIDTH = 903;
constexpr int DESIGN_HEIGHT = 614;

const QColor TIP_BACKGROUND(0xff, 0xff, 0xe1);

// The picture of the loading panel: the application's badge and name.
QImage loadingPicture()
{
    QImage img(240, 56, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(QRect(40, 4, 48, 48), AppIcon().pixmap(48));
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(26);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0x2f, 0x77, 0xd0));
    p.drawText(QRect(96, 0, 144, 56), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Kavo游戏盒"));
    return img;
}
} // namespace

BA1::BA1(const AppPaths &paths, const QString &portalBase, QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_portalBase(portalBase)
{
    setWindowTitle(QStringLiteral("Kavo游戏盒"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    // Before anything asks: a reader's first answer about the window is kept.
    SkinAccessible::Describe(this, SkinAccessible::Kind::Window);
    // Load step 1 comes before anything else is built: a start that is
    // handed over to the running instance opens neither the web profile nor
    // any pane.
    if (HandOffStart()) {
        m_handedOff = true;
        return;
    }
    m_profile = new ProgramProfile(m_paths);
    createControls();
    DescribeControls();
    connectPortalEvents();
    connectToolbar();
    Form_Load();
    createUpdateTimers();
}

BA1::~BA1()
{
    DeletePromotionWindows();
    // Every page goes before the profile; deleting the profile then writes
    // the web storage and the cookies to disk.
    qDeleteAll(findChildren<WebPane *>());
    qDeleteAll(findChildren<SaveStorage *>());
    delete m_profile;
}

QWebEngineProfile *BA1::webProfile() const
{
    return m_profile;
}

void BA1::createControls()
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(12);
    setFont(font);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(DESIGN_WIDTH, DESIGN_HEIGHT);
    // The window manager learns the smallest normal size, so a drag on the
    // edge stops there rather than snapping back when it ends.
    setMinimumSize(TwipsToPixels(FrameGeometry::MIN_WIDTH_TWIPS), TwipsToPixels(FrameGeometry::MIN_HEIGHT_TWIPS));
    setWindowIcon(AppIcon());

    createCaption();

    for (QWidget *&page : m_zz) {
        page = new PictureBox(this, QColor::fromRgb(SkinColors::Body));
        page->setGeometry(4, 96, DESIGN_WIDTH - 8, DESIGN_HEIGHT - 124);
        page->hide();
    }
    m_zz[0]->show();

    m_Web1 = new WebPane(m_profile, m_zz[0]);
    m_Web4 = new WebPane(m_profile, m_zz[3]);
    m_Web5 = new WebPane(m_profile, m_zz[4]);
    m_game = new GamePagePart(m_zz[1], m_profile, m_ppt);
    m_list = new ListPagePart(m_zz[2], m_profile, m_paths);
    connect(m_game, &GamePagePart::pointerMoved, this, [this] { unsetCursor(); });
    connect(m_list, &ListPagePart::tabClicked, this, &BA1::lc_Click);
    connect(m_list, &ListPagePart::pointerMoved, this, &BA1::lc_MouseMove);

    m_zzer = new PictureBox(this, Qt::white);
    m_P2 = new PictureBox(m_zzer);
    m_P2->setPicture(loadingPicture());
    m_P2->setCursor(Qt::PointingHandCursor);
    m_webe = new ClickLabel(QStringLiteral("数据加载中，请稍后．．．"), m_zzer);
    m_webe->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_webe->resize(320, 260);
    setTextColour(m_webe, QColor(0x50, 0x60, 0x70));
    m_webe->setCursor(Qt::PointingHandCursor);

    // Statistics request: never shown.
    m_Web6 = new WebPane(m_profile, this);
    m_Web6->setGeometry(0, 0, 1, 1);
    m_Web6->hide();

    // Stacking: pages over the tab bar (the full-screen game page covers it),
    // the overlay over the pages, caption buttons and the tooltip box on top.
    for (QWidget *page : m_zz)
        page->raise();
    m_zzer->raise();
    for (int i : {Caption::Minimise, Caption::Maximise, Caption::Close, Caption::OnTop, Caption::Menu})
        m_npc[i]->raise();
    m_P1->raise();
}

void BA1::createCaption()
{
    m_ni_name = makeLabel(QStringLiteral("Kavo游戏盒"), this, QColor::fromRgb(SkinColors::TitleText));
    QFont titleFont = m_ni_name->font();
    titleFont.setBold(true);
    m_ni_name->setFont(titleFont);
    m_ni_name->adjustSize();
    m_ni_name->move(28, 7);
    m_renj = makeLabel(QStringLiteral("老板键 Ctrl+S"), this, QColor::fromRgb(SkinColors::PanelText));

    struct ButtonDesign
    {
        int index;
        QSize size;
        const char *tip;
    };
    static const ButtonDesign designs[] = {
        {0, {24, 19}, "最小化"}, {1, {24, 19}, "最大化"}, {2, {33, 19}, "关闭"},
        {4, {21, 19}, "置顶"},   {5, {24, 19}, "菜单"},   {6, {77, 63}, ""},
        {7, {77, 63}, ""},       {8, {77, 63}, ""},       {9, {77, 63}, ""},
        {3, {77, 63}, ""},
    };
    for (const ButtonDesign &d : designs) {
        auto *button = new ImageButton(d.index, this);
        button->resize(d.size);
        button->setToolTipText(QString::fromUtf8(d.tip));
        m_npc[d.index] = button;
        const int i = d.index;
        connect(button, &PictureBox::clicked, this, [this, i] { npc_Click(i); });
        connect(button, &PictureBox::mouseMoved, this,
                [this, i](Qt::MouseButtons b, Qt::KeyboardModifiers m, const QPoint &pos) { npc_MouseMove(i, b, m, pos); });
    }
    // The first tab is the selected one at start (CurrentTab 6).
    m_npc[Caption::PortalTab]->setEnabled(false);

    m_ad_pic = new PictureBox(this, Qt::white);
    m_ad_pic->setGeometry(DESIGN_WIDTH - 270, 31, 250, 60);
    m_ad_pic->hide();
    m_adweb = new WebPane(m_profile, m_ad_pic);

    m_P1 = new PictureBox(this, TIP_BACKGROUND);
    m_P1->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_P1->setBorder(QColor(0x76, 0x76, 0x76));
    m_bo_tip = makeLabel(QString(), m_P1, QColor(0x20, 0x20, 0x20));
    m_bo_tip->move(2, 2);
    m_P1->hide();
}
