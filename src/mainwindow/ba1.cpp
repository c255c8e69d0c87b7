#include "mainwindow/ba1.h"

#include "portal/gui/gamepage.h"

#include "lists/listpage.h"
#include "portal/gui/webpane.h"
#include "portal/gui/webprofile.h"
#include "resources/gui/skinresources.h"
#include "shell/framegeometry.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace
{
// Design size of the window: 13550 x 9210 twips.
constexpr int DESIGN_WIDTH = 903;
constexpr int DESIGN_HEIGHT = 614;

const QColor PANEL_BORDER = QColor::fromRgb(SkinColors::PanelBorder);
const QColor GAME_BACKGROUND(0x20, 0x20, 0x28);
const QColor LIST_TAB(0xf5, 0xf5, 0xf5);
const QColor LINK_TEXT(0x1f, 0x5f, 0xaf);
const QColor TIP_BACKGROUND(0xff, 0xff, 0xe1);

void setTextColour(QWidget *w, QColor colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    w->setPalette(pal);
}

QLabel *makeLabel(const QString &text, QWidget *parent, QColor colour)
{
    auto *label = new QLabel(text, parent);
    setTextColour(label, colour);
    label->adjustSize();
    return label;
}

// The small triangle before the game title and the list header.
QImage bulletPicture()
{
    QImage img(7, 9, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x77, 0xd0));
    p.drawPolygon(QPolygonF({QPointF(1, 0.5), QPointF(6.5, 4.5), QPointF(1, 8.5)}));
    return img;
}

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
    // Load step 1 comes before anything else is built: a start that is
    // handed over to the running instance opens neither the web profile nor
    // any pane.
    if (HandOffStart()) {
        m_handedOff = true;
        return;
    }
    m_profile = new ProgramProfile(m_paths);
    createControls();
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
    setMinimumSize(FrameGeometry::TwipsToPixels(FrameGeometry::MIN_WIDTH_TWIPS),
                   FrameGeometry::TwipsToPixels(FrameGeometry::MIN_HEIGHT_TWIPS));
    setWindowIcon(AppIcon());

    createCaption();

    for (QWidget *&page : zz) {
        page = new PictureBox(this, QColor::fromRgb(SkinColors::Body));
        page->setGeometry(4, 96, DESIGN_WIDTH - 8, DESIGN_HEIGHT - 124);
        page->hide();
    }
    zz[0]->show();

    Web1 = new WebPane(m_profile, zz[0]);
    Web4 = new WebPane(m_profile, zz[3]);
    Web5 = new WebPane(m_profile, zz[4]);
    createGamePage();
    createListPage();

    zzer = new PictureBox(this, Qt::white);
    P2 = new PictureBox(zzer);
    P2->setPicture(loadingPicture());
    P2->setCursor(Qt::PointingHandCursor);
    webe = new ClickLabel(QStringLiteral("数据加载中，请稍后．．．"), zzer);
    webe->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    webe->resize(320, 260);
    setTextColour(webe, QColor(0x50, 0x60, 0x70));
    webe->setCursor(Qt::PointingHandCursor);

    // Statistics request: never shown.
    Web6 = new WebPane(m_profile, this);
    Web6->setGeometry(0, 0, 1, 1);
    Web6->hide();

    // Stacking: pages over the tab bar (the full-screen game page covers it),
    // the overlay over the pages, caption buttons and the tooltip box on top.
    for (QWidget *page : zz)
        page->raise();
    zzer->raise();
    for (int i : {0, 1, 2, 4, 5})
        npc[i]->raise();
    P1->raise();

    // Every rewritten list page reloads the list pane; the connection ends
    // with the pane.
    connect(ListPageEvents::instance(), &ListPageEvents::pageChanged, Web3, [this] { Web3->Refresh(); });
}

void BA1::createCaption()
{
    ni_name = makeLabel(QStringLiteral("Kavo游戏盒"), this, QColor::fromRgb(SkinColors::TitleText));
    QFont titleFont = ni_name->font();
    titleFont.setBold(true);
    ni_name->setFont(titleFont);
    ni_name->adjustSize();
    ni_name->move(28, 7);
    renj = makeLabel(QStringLiteral("老板键 Ctrl+S"), this, QColor::fromRgb(SkinColors::PanelText));

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
        npc[d.index] = button;
        const int i = d.index;
        connect(button, &PictureBox::clicked, this, [this, i] { npc_Click(i); });
        connect(button, &PictureBox::mouseMoved, this,
                [this, i](Qt::MouseButtons b, Qt::KeyboardModifiers m, const QPoint &pos) { npc_MouseMove(i, b, m, pos); });
    }
    // The first tab is the selected one at start (CurrentTab 6).
    npc[6]->setEnabled(false);

    ad_pic = new PictureBox(this, Qt::white);
    ad_pic->setGeometry(DESIGN_WIDTH - 270, 31, 250, 60);
    ad_pic->hide();
    adweb = new WebPane(m_profile, ad_pic);

    P1 = new PictureBox(this, TIP_BACKGROUND);
    P1->setAttribute(Qt::WA_TransparentForMouseEvents);
    P1->setBorder(QColor(0x76, 0x76, 0x76));
    bo_tip = makeLabel(QString(), P1, QColor(0x20, 0x20, 0x20));
    bo_tip->move(2, 2);
    P1->hide();
}

void BA1::createGamePage()
{
    const QColor panelText = QColor::fromRgb(SkinColors::PanelText);
    QWidget *page = zz[1];

    picg = new PictureBox(page, QColor::fromRgb(SkinColors::TitleStrip));
    Image1 = new PictureBox(picg);
    Image1->setPicture(bulletPicture());
    Image1->move(10, 8);
    yxname = makeLabel(QStringLiteral("当前：还没有开始游戏"), picg, panelText);
    yxname->move(22, 5);

    picf = new PictureBox(page, QColor::fromRgb(SkinColors::Body));
    Pic1 = new PictureBox(picf, GAME_BACKGROUND);
    tingzhi = makeLabel(QStringLiteral("当前游戏已经暂停"), Pic1, QColor(0xc8, 0xd0, 0xdc));
    Web2 = new WebPane(m_profile, Pic1);
    InstallGamePageScript(Web2->page());

    Picd = new PictureBox(picf, QColor::fromRgb(SkinColors::Toolbar));
    lblCount = makeLabel(QString(), Picd, panelText);
    lblCount->resize(320, 16);
    static const char *const toolTips[9] = {"停止", "", "静音", "", "", "", "", "显示", "显示"};
    for (int i = 0; i < 9; ++i) {
        c_z[i] = new ImageButton(i, i == 8 ? picg : Picd);
        c_z[i]->setToolTipText(QString::fromUtf8(toolTips[i]));
        c_z[i]->resize(45, 25);
    }
    c_z[7]->resize(26, 26);
    c_z[8]->resize(55, 20);
    c_z[8]->hide();

    Pic2 = new PictureBox(page, Qt::white);
    Webr = new WebPane(m_profile, Pic2);

    for (PictureBox *panel : {picg, Picd})
        connect(panel, &PictureBox::mouseMoved, this, [this] { unsetCursor(); });
}

void BA1::createListPage()
{
    const QColor panelText = QColor::fromRgb(SkinColors::PanelText);
    QWidget *page = zz[2];

    pic4 = new PictureBox(page, QColor::fromRgb(SkinColors::TitleStrip));
    Im2 = new PictureBox(pic4);
    lcname = makeLabel(QString(), pic4, panelText);
    shan_name = new ClickLabel(QString(), pic4);
    setTextColour(shan_name, LINK_TEXT);
    QFont linkFont = shan_name->font();
    linkFont.setUnderline(true);
    shan_name->setFont(linkFont);
    shan_name->setCursor(Qt::PointingHandCursor);

    Pic6 = new PictureBox(page, PANEL_BORDER);
    Pic3 = new PictureBox(Pic6, LIST_TAB);
    static const char *const captions[3] = {"/n最近玩过游戏", "/n我收藏的游戏", "/n已下载的游戏"};
    for (int i = 0; i < 3; ++i) {
        lc[i] = new ClickLabel(QString::fromUtf8(captions[i]), Pic3);
        lc[i]->setGeometry(0, 33 * i, 148, 32);
        lc[i]->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        lc[i]->setAutoFillBackground(true);
        setTextColour(lc[i], panelText);
        lc[i]->setCursor(Qt::PointingHandCursor);
        connect(lc[i], &ClickLabel::clicked, this, [this, i] { lc_Click(i); });
        connect(lc[i], &ClickLabel::mouseMoved, this, [this] { lc_MouseMove(); });
    }
    Im1 = new PictureBox(Pic3);
    Im1->setPicture(TabMarkerPicture());
    Im1->move(22, 10);
    Im1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Im1->raise();

    Pic7 = new PictureBox(page, PANEL_BORDER);
    Pic5 = new PictureBox(Pic7, Qt::white);
    Web3 = new WebPane(m_profile, Pic5);

    for (PictureBox *panel : {pic4, Pic3})
        connect(panel, &PictureBox::mouseMoved, this, [this] { unsetCursor(); });
}
