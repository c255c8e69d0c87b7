#include "dialogs/gui/ba2.h"

#include "dialogs/autostart.h"
#include "dialogs/settingsoptions.h"
#include "resources/gui/skinframe.h"
#include "resources/gui/skinresources.h"
#include "resources/skinrects.h"
#include "shell/framegeometry.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "shell/gui/roundregion.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace
{
// Inner area of the dialog: 6300 x 4245 twips.
constexpr int DESIGN_WIDTH = 420;
constexpr int DESIGN_HEIGHT = 283;

const QColor TAB_COLOUR(0xf5, 0xf5, 0xf5);
const QColor SELECTED_TAB_COLOUR(0xff, 0xff, 0xff);

void setColour(QWidget *w, QPalette::ColorRole role, QColor colour)
{
    QPalette pal = w->palette();
    pal.setColor(role, colour);
    w->setPalette(pal);
}

QLabel *makeLabel(const QString &text, QWidget *parent, int x, int y)
{
    auto *label = new QLabel(text, parent);
    setColour(label, QPalette::WindowText, QColor::fromRgb(SkinColors::PanelText));
    label->adjustSize();
    label->move(x, y);
    return label;
}

QFont uiFont()
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(12);
    return font;
}

// Group headers: a Song face in bold, where the desktop has one.
QFont headerFont()
{
    QFont font = uiFont();
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setBold(true);
    return font;
}

} // namespace

BA2::BA2(QWidget *owner, const AppPaths &paths, const QImage *skin)
    : QWidget(owner, Qt::Dialog | Qt::FramelessWindowHint)
    , m_owner(owner)
    , m_paths(paths)
    , m_skin(skin)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("软件设置"));
    setFont(uiFont());
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    createControls();
    Form_Load();
    // Over the middle of the main window, and wholly on the work area of its
    // screen: on a screen smaller than the dialog (or at a large scale
    // factor) the dialog is cut down to the work area, the title, the close
    // button and the buttons at the bottom still in reach.
    const QRect asked(owner->frameGeometry().center() - QPoint(DESIGN_WIDTH / 2, DESIGN_HEIGHT / 2),
                      QSize(DESIGN_WIDTH, DESIGN_HEIGHT));
    const QScreen *screen = owner->screen();
    const QRect frame = FrameGeometry::FitInside(asked, screen ? screen->availableGeometry() : QRect());
    setFixedSize(frame.size());
    move(frame.topLeft());
}

void BA2::createControls()
{
    ni_name = new QLabel(QStringLiteral("软件设置"), this);
    setColour(ni_name, QPalette::WindowText, QColor::fromRgb(SkinColors::TitleText));
    QFont titleFont = ni_name->font();
    titleFont.setBold(true);
    ni_name->setFont(titleFont);
    ni_name->adjustSize();
    ni_name->setObjectName(QStringLiteral("title"));

    guan = new ImageButton(0, this);
    guan->setObjectName(QStringLiteral("close"));
    guan->setToolTipText(QStringLiteral("关闭"));
    connect(guan, &PictureBox::mouseMoved, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, const QPoint &pos) { guan_MouseMove(pos); });
    connect(guan, &PictureBox::clicked, this, &BA2::guan_Click);

    Pic1 = new PictureBox(this, QColor::fromRgb(SkinColors::Body));
    Pic6 = new PictureBox(Pic1, QColor::fromRgb(SkinColors::PanelBorder));
    Pic3 = new PictureBox(Pic6, TAB_COLOUR);
    static const char *const captions[2] = {"/n关于我们", "/n软件设置"};
    static const char *const tabNames[2] = {"aboutTab", "settingsTab"};
    for (int i = 0; i < 2; ++i) {
        lc[i] = new ClickLabel(QString::fromUtf8(captions[i]), Pic3);
        lc[i]->setObjectName(QLatin1String(tabNames[i]));
        lc[i]->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        lc[i]->setAutoFillBackground(true);
        setColour(lc[i], QPalette::WindowText, QColor::fromRgb(SkinColors::PanelText));
        lc[i]->setCursor(Qt::PointingHandCursor);
        connect(lc[i], &ClickLabel::clicked, this, [this, i] { lc_Click(i); });
    }
    Im1 = new PictureBox(Pic3);
    Im1->setObjectName(QStringLiteral("tabMarker"));
    Im1->setPicture(TabMarkerPicture());
    Im1->setAttribute(Qt::WA_TransparentForMouseEvents);

    createSettingsPage();
    createAboutPage();

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdApply = new QPushButton(QStringLiteral("应用(&A)"), this);
    cmdOK->setObjectName(QStringLiteral("ok"));
    cmdCancel->setObjectName(QStringLiteral("cancel"));
    cmdApply->setObjectName(QStringLiteral("apply"));
    connect(cmdOK, &QPushButton::clicked, this, &BA2::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &BA2::cmdCancel_Click);
    connect(cmdApply, &QPushButton::clicked, this, &BA2::cmdApply_Click);
}

void BA2::createSettingsPage()
{
    pic4 = new PictureBox(Pic1, Qt::white);
    pic4->setObjectName(QStringLiteral("settingsPage"));
    pic4->setBorder(QColor::fromRgb(SkinColors::PanelBorder));
    // Design places in twips / 15.
    L1[0] = makeLabel(QStringLiteral("启动设置"), pic4, 24, 16);
    L1[2] = makeLabel(QStringLiteral("提醒：开机启动可能会被部分杀毒软件提示"), pic4, 48, 64);
    L1[1] = makeLabel(QStringLiteral("操作设置"), pic4, 24, 88);
    for (QLabel *header : {L1[0], L1[1]}) {
        header->setFont(headerFont());
        header->adjustSize();
    }
    struct Option
    {
        int index;
        const char *name;
        const char *caption;
        int y;
    };
    static const Option options[4] = {
        {1, "autoStart", "开机自动启动游戏软件", 40},
        {3, "closeToTray", "关闭软件最小化到托盘，不退出软件", 112},
        {2, "balloons", "托盘显示系统操作气泡提示", 136},
        {0, "keepSize", "自动保存软件界面大小", 160},
    };
    for (const Option &o : options) {
        auto *box = new QCheckBox(QString::fromUtf8(o.caption), pic4);
        box->setObjectName(QLatin1String(o.name));
        setColour(box, QPalette::WindowText, QColor::fromRgb(SkinColors::PanelText));
        box->adjustSize();
        box->move(32, o.y);
        Check1[o.index] = box;
    }
}

void BA2::createAboutPage()
{
    Pic2 = new PictureBox(Pic1, Qt::white);
    Pic2->setObjectName(QStringLiteral("aboutPage"));
    Pic2->setBorder(QColor::fromRgb(SkinColors::PanelBorder));
    Frame4 = new QFrame(Pic2);
    Frame4->setObjectName(QStringLiteral("aboutFrame"));
    Frame4->setFrameShape(QFrame::StyledPanel);
    Frame4->setFrameShadow(QFrame::Sunken);

    L1[4] = makeLabel(QStringLiteral("Kavo游戏盒"), Frame4, 14, 12);
    QFont nameFont = uiFont();
    nameFont.setPixelSize(16);
    nameFont.setBold(true);
    L1[4]->setFont(nameFont);
    setColour(L1[4], QPalette::WindowText, QColor(0x1c, 0x5f, 0xb4));
    L1[4]->adjustSize();
    L1[9] = makeLabel(QStringLiteral("Kavo游戏盒是一款在线小游戏软件。"), Frame4, 14, 46);
    L1[11] = makeLabel(QStringLiteral("拥有几万款在线小游戏，操作简单，在线玩"), Frame4, 14, 70);
    L1[12] = makeLabel(QStringLiteral("可下载，享受超HIGH游戏体验。"), Frame4, 14, 94);
    L1[13] = makeLabel(QStringLiteral("我们的宗旨:玩家第一、内容为王。\n"), Frame4, 14, 118);
    L1[8] = makeLabel(QStringLiteral("版本 1.0    发布日期 2011.1.18"), Frame4, 14, 160);
}

void BA2::Form_Load()
{
    setWindowIcon(m_owner->windowIcon());
    m_configPath = m_paths.configPath();
    for (int i = 0; i < 2; ++i) {
        QString caption = lc[i]->text();
        caption.replace(QStringLiteral("/n"), QStringLiteral("\r\n"));
        lc[i]->setText(caption);
    }
    const SettingsOptions options = ReadSettingsOptions(m_configPath);
    Check1[3]->setChecked(options.closeToTray);
    Check1[0]->setChecked(options.keepSize);
    Check1[1]->setChecked(options.autoStart);
    Check1[2]->setChecked(options.balloons);
}

void BA2::Form_Resize()
{
    if (isMinimized())
        return;
    F2_Paint();
    const int W = width();
    const int H = height();
    ni_name->move(28, 7);
    guan->setGeometry(W - 38, 5, 33, 19);
    guan->paintFrom(m_skin[Strip::CaptionButtons], SkinRects::CAPTION_CLOSE);
    guan->refresh();

    Pic1->setGeometry(4, 30, W - 8, H - 45);
    Pic6->setGeometry(0, 0, 110, Pic1->height() - 25);
    Pic3->setGeometry(1, 1, 108, Pic6->height() - 2);
    for (int i = 0; i < 2; ++i)
        lc[i]->setGeometry(0, 33 * i, Pic3->width(), 32);
    Im1->move(15, Im1->y());
    Im1->raise();
    const QRect page(Pic6->width() + 4, 0, Pic1->width() - Pic6->width() - 4, Pic6->height());
    pic4->setGeometry(page);
    Pic2->setGeometry(page);
    Frame4->setGeometry(8, 8, page.width() - 16, page.height() - 16);
    // The buttons stand on the strip of the body below the pages, at the
    // bottom right corner however large the dialog is.
    cmdOK->setGeometry(W - 252, H - 35, 73, 25);
    cmdCancel->setGeometry(W - 172, H - 35, 73, 25);
    cmdApply->setGeometry(W - 92, H - 35, 73, 25);
    for (QPushButton *b : {cmdOK, cmdCancel, cmdApply})
        b->raise();
}

void BA2::F2_Paint()
{
    m_formImage = SkinFrameImage(m_skin[Strip::Frame], size(), SkinRects::CAPTION_BAR_ROWS);
    update();
    ApplyRoundRegion(this);
}

void BA2::showPage(Page page)
{
    lc_Click(page == Page::Settings ? 1 : 0);
}

void BA2::lc_Click(int index)
{
    if (index < 0 || index > 1)
        return;
    Im1->move(15, lc[index]->y() + 10);
    for (ClickLabel *tab : lc)
        setColour(tab, QPalette::Window, TAB_COLOUR);
    setColour(lc[index], QPalette::Window, SELECTED_TAB_COLOUR);
    if (index == 1) {
        Pic2->hide();
        pic4->show();
        ni_name->setText(QStringLiteral("软件设置"));
    } else {
        pic4->hide();
        Pic2->show();
        ni_name->setText(QStringLiteral("关于我们"));
    }
    ni_name->adjustSize();
}

void BA2::cmdApply_Click()
{
    SettingsOptions options;
    options.keepSize = Check1[0]->isChecked();
    options.autoStart = Check1[1]->isChecked();
    options.balloons = Check1[2]->isChecked();
    options.closeToTray = Check1[3]->isChecked();
    WriteSettingsOptions(m_configPath, options, Autostart::Folder(), m_paths.launcherPath());
}

void BA2::cmdOK_Click()
{
    cmdApply_Click();
    close();
}

void BA2::cmdCancel_Click()
{
    close();
}

void BA2::guan_Click()
{
    close();
}

void BA2::guan_MouseMove(const QPoint &pos)
{
    const bool inside = pos.x() >= 0 && pos.x() <= guan->width() && pos.y() >= 0 && pos.y() <= guan->height();
    guan->paintFrom(m_skin[inside ? Strip::CaptionButtonsHover : Strip::CaptionButtons], SkinRects::CAPTION_CLOSE);
    guan->refresh();
}

void BA2::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_formImage);
}

void BA2::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void BA2::mousePressEvent(QMouseEvent *event)
{
    m_moveStarted = false;
    QWidget::mousePressEvent(event);
}

void BA2::mouseMoveEvent(QMouseEvent *event)
{
    // A drag on the dialog's own surface (the frame and the title strip)
    // moves it: the window manager carries the move out.
    if ((event->buttons() & Qt::LeftButton) && !m_moveStarted && windowHandle()) {
        m_moveStarted = true;
        windowHandle()->startSystemMove();
    }
    QWidget::mouseMoveEvent(event);
}

void BA2::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    // Deleted once control is back in the event loop (WA_DeleteOnClose).
    m_unloaded = true;
}

void BA2::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdCancel_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void BA2::unload()
{
    m_unloaded = true;
    hide();
    deleteLater();
}

BA2 *SettingsDialog(QWidget *owner, const AppPaths &paths, const QImage *skin)
{
    for (BA2 *dialog : owner->findChildren<BA2 *>(QString(), Qt::FindDirectChildrenOnly))
        if (!dialog->isUnloaded())
            return dialog;
    return new BA2(owner, paths, skin);
}

void UnloadSettingsDialog(QWidget *owner)
{
    for (BA2 *dialog : owner->findChildren<BA2 *>(QString(), Qt::FindDirectChildrenOnly))
        dialog->unload();
}
