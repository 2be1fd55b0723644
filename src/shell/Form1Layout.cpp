// The window's controls, placed where the window model puts them.
#include "shell/Form1.h"

#include "download/CFileDownload.h"
#include "info/PhoneEditionAdvert.h"
#include "platform/Fonts.h"
#include "platform/ShortcutPrecedence.h"
#include "platform/TextPlacement.h"
#include "platform/Twips.h"
#include "platform/VbColor.h"
#include "shell/Artwork.h"

#include <QApplication>
#include <QMenuBar>

using platform::LabelControl;
using platform::MakeLabel;
using platform::PlaceText;
using platform::PictureBoxControl;
using platform::RectFromTwips;

namespace {

// Pictures are drawn for the screen's density, so they stay sharp on
// high-density screens and need no scaling on ordinary ones.
qreal ScreenRatio()
{
    return qApp->devicePixelRatio();
}

}  // namespace

Form1::Form1(const StoredAddresses& addresses, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), addresses_(addresses), programFolder_(programFolder)
{
    platform::InstallFontSubstitutions();
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(kDesignCaption);
    setWindowIcon(artwork::LoudspeakerAppIcon());

    auto* client = new QWidget(this);
    client->setFixedSize(760, 533);
    setCentralWidget(client);

    BuildSidePanel(client);
    BuildToolBar(client);
    BuildListPanel(client);
    BuildPlayerBar(client);
    BuildHiddenControls(client);
    BuildMenu();
    ConnectHandlers();

    setFixedSize(760, 533 + menuBar()->sizeHint().height());
}

Form1::~Form1() = default;

void Form1::BuildSidePanel(QWidget* client)
{
    Picture2 = new PictureBoxControl(client);
    Picture2->setGeometry(RectFromTwips(60, 60, 2115, 4830));
    Picture2->setBackColor(0x00C0C000);
    Picture2->setPicture(artwork::SidePanel(ScreenRatio()));

    const QFont bold = platform::SongTiBold9();
    Label7 = MakeLabel(Picture2, QStringLiteral("Kardelo"), RectFromTwips(120, 840, 585, 180), platform::kVbWhite,
                       true, &bold);
    Label6 = MakeLabel(Picture2, QStringLiteral("心血管病学讲座"), RectFromTwips(120, 1200, 1365, 180),
                       platform::kVbWhite, true, &bold);
    Label5 = MakeLabel(Picture2, QStringLiteral("安卓手机版同步推出"), RectFromTwips(120, 1620, 1755, 180),
                       platform::kVbGreen, true, &bold);
    Label8 = MakeLabel(Picture2, QStringLiteral("版本：2.01"), RectFromTwips(1020, 4380, 900, 180),
                       platform::kVbWhite, true);

    Picture5 = new PictureBoxControl(client);
    Picture5->setGeometry(RectFromTwips(60, 4950, 2115, 2610));
    Picture5->setBackColor(platform::kVbWhite);
    Picture5->setAutoSize(true);
    Picture5->setPicture(PhoneEditionAdvert(addresses_.phoneEdition, ScreenRatio()));

    Command1 = new QPushButton(QStringLiteral("立即下载安卓手机版"), client);
    Command1->setGeometry(RectFromTwips(60, 7620, 2115, 315));
    QPalette colours = Command1->palette();
    colours.setColor(QPalette::Button, platform::ColorFromVb(0x00C0FFFF));
    Command1->setPalette(colours);
    Command1->setAutoFillBackground(true);
}

void Form1::BuildToolBar(QWidget* client)
{
    Frame1 = new QGroupBox(client);
    Frame1->setGeometry(RectFromTwips(2220, -20, 9135, 720));

    Option3 = new platform::OptionButtonControl(QStringLiteral("返回目录"), Frame1);
    PlaceText(Option3, RectFromTwips(120, 300, 1200, 180));
    Option3->setChecked(true);
    Option3->setForeColor(platform::kVbRed);
    Option1 = new platform::OptionButtonControl(QStringLiteral("远程音频"), Frame1);
    PlaceText(Option1, RectFromTwips(1320, 300, 1200, 180));
    Option1->setEnabled(false);
    Option1->setForeColor(platform::kVbBlack);
    Option2 = new platform::OptionButtonControl(QStringLiteral("我的收藏"), Frame1);
    PlaceText(Option2, RectFromTwips(2580, 300, 1200, 180));
    Option2->setForeColor(platform::kVbBlack);

    Label4 = MakeLabel(Frame1, QStringLiteral("搜索"), RectFromTwips(5460, 300, 360, 180), platform::kVbGrey, true);
    Text1 = new platform::TextBoxControl(Frame1);
    Text1->setGeometry(RectFromTwips(5940, 240, 3075, 330));
    Text1->setEnabled(false);
    Text1->setBackColor(platform::kVbLightGrey);
}

void Form1::BuildListPanel(QWidget* client)
{
    Picture1 = new PictureBoxControl(client);
    Picture1->setGeometry(RectFromTwips(2220, 750, 9135, 6195));
    Picture1->setBackColor(platform::kVbWhite);

    // Rows and scroll bar sit inside the panel's border.
    const QPoint inner = Picture1->contentsRect().topLeft();
    V1 = new platform::ScrollBarControl(Picture1);
    V1->setGeometry(RectFromTwips(8820, 0, 255, 6135).translated(inner));
    for (int i = 0; i < kRows; ++i)
        BuildRow(i);
}

void Form1::BuildRow(int i)
{
    const QPoint inner = Picture1->contentsRect().topLeft();
    auto* row = new PictureBoxControl(Picture1, false);
    row->setGeometry(RectFromTwips(0, 780 * i, 8800, 735).translated(inner));
    row->setBackColor(platform::kVbWindowBackground);
    Picture4[i] = row;

    auto* image = new QLabel(row);
    image->setGeometry(RectFromTwips(60, 120, 495, 495));
    image->setScaledContents(true);
    image->setPixmap(artwork::LoudspeakerIcon(32, ScreenRatio()));
    Image1[i] = image;

    const QFont bold = platform::SongTiBold9();
    Label2[i] = MakeLabel(row, QStringLiteral("第十届全国心血管病学术会议"), RectFromTwips(720, 120, 6255, 195),
                          platform::kVbBlack, false, &bold);
    Label3[i] = MakeLabel(row, QStringLiteral("更新日期：20140202"), RectFromTwips(720, 420, 6255, 195),
                          platform::kVbGrey, false);

    Line1[i] = new platform::LineControl(0x00808000, row);
    Line1[i]->setGeometry(RectFromTwips(0, 720, 8820, 15));

    Label1[i] = MakeLabel(row, QStringLiteral("100%"), RectFromTwips(7440, 240, 360, 180), platform::kVbBlue, true);

    auto makeButton = [row](const QRect& faceBox, const QString& caption, PictureBoxControl*& face,
                            LabelControl*& label) {
        face = new PictureBoxControl(row, false);
        face->setGeometry(faceBox);
        face->setAutoSize(true);
        face->setPicture(artwork::ReleasedButtonFace(ScreenRatio()));
        label = new LabelControl(face);
        label->setCaption(caption);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(RectFromTwips(60, 60, 675, 255));
    };
    makeButton(RectFromTwips(7080, 180, 750, 315), QStringLiteral("删 除"), Picture9[i], Label11[i]);
    Picture9[i]->setVisible(false);
    makeButton(RectFromTwips(7920, 180, 750, 315), QStringLiteral("播 放"), Picture6[i], Label10[i]);
    // Picture boxes are drawn above labels: the delete face covers the
    // percentage while it is shown.
    Picture9[i]->raise();
    Picture6[i]->raise();
}

void Form1::BuildPlayerBar(QWidget* client)
{
    Picture3 = new PictureBoxControl(client);
    Picture3->setGeometry(RectFromTwips(2220, 6990, 9150, 975));
    M1 = new platform::MediaPlayerControl(Picture3);
    M1->setObjectName(QStringLiteral("M1"));
    M1->setGeometry(RectFromTwips(0, 0, 9090, 975).translated(Picture3->contentsRect().topLeft()));
}

void Form1::BuildHiddenControls(QWidget* client)
{
    File1.setPattern(QStringLiteral("*.zip"));

    Picture7 = new PictureBoxControl(client, false);
    Picture7->setGeometry(RectFromTwips(11760, 660, 750, 315));
    Picture7->setAutoSize(true);
    Picture7->setPicture(artwork::PressedButtonFace(ScreenRatio()));
    Picture7->setVisible(false);
    Picture8 = new PictureBoxControl(client, false);
    Picture8->setGeometry(RectFromTwips(11940, 1080, 750, 315));
    Picture8->setAutoSize(true);
    Picture8->setPicture(artwork::ReleasedButtonFace(ScreenRatio()));
    Picture8->setVisible(false);

    Timer2 = new platform::TimerControl(500, this);
}

void Form1::BuildMenu()
{
    文件 = menuBar()->addMenu(QStringLiteral("文件(F)"));
    退出 = 文件->addAction(QStringLiteral("退出"));
    退出->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    帮助 = menuBar()->addMenu(QStringLiteral("帮助(H)"));
    版本信息 = 帮助->addAction(QStringLiteral("版本信息"));
    版本信息->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    操作说明 = 帮助->addAction(QStringLiteral("操作说明"));
    操作说明->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    访问作者主页 = 帮助->addAction(QStringLiteral("访问作者主页"));
    访问作者主页->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    platform::GiveShortcutsPrecedence(Text1, {退出, 版本信息, 操作说明, 访问作者主页});
}

void Form1::ConnectHandlers()
{
    ConnectWebLinks();
    connect(V1, &platform::ScrollBarControl::Change, this, &Form1::V1_Change);
    connect(V1, &platform::ScrollBarControl::Scroll, this, &Form1::V1_Scroll);
    connect(Option1, &platform::OptionButtonControl::Click, this, &Form1::Option1_Click);
    connect(Option2, &platform::OptionButtonControl::Click, this, &Form1::Option2_Click);
    connect(Option3, &platform::OptionButtonControl::Click, this, &Form1::Option3_Click);
    connect(Timer2, &platform::TimerControl::Timer, this, &Form1::Timer2_Timer);
    connect(Text1, &platform::TextBoxControl::Change, this, &Form1::Text1_Change);
    for (int i = 0; i < kRows; ++i) {
        connect(Label11[i], &LabelControl::MouseDown, this,
                [this, i](int button, int shift, double x, double y) { Label11_MouseDown(i, button, shift, x, y); });
        connect(Label11[i], &LabelControl::MouseUp, this,
                [this, i](int button, int shift, double x, double y) { Label11_MouseUp(i, button, shift, x, y); });
        connect(Label10[i], &LabelControl::MouseDown, this,
                [this, i](int button, int shift, double x, double y) { Label10_MouseDown(i, button, shift, x, y); });
        connect(Label10[i], &LabelControl::MouseUp, this,
                [this, i](int button, int shift, double x, double y) { Label10_MouseUp(i, button, shift, x, y); });
    }
}

void Form1::SetRowCaptions(int i, const RowCaptions& captions)
{
    if (captions.first)
        Label2[i]->setCaption(*captions.first);
    if (captions.second)
        Label3[i]->setCaption(*captions.second);
}

QString Form1::FavouritesFolder() const
{
    return programFolder_ + u'/' + kFavouritesFolderName;
}
