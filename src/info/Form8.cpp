#include "info/Form8.h"

#include "catalogue/DecodeAddress.h"
#include "platform/Fonts.h"
#include "platform/MouseButtons.h"
#include "platform/PointingHandCursor.h"
#include "platform/TextPlacement.h"
#include "platform/Twips.h"
#include "platform/VbColor.h"
#include "shell/Artwork.h"
#include "shell/CentreWindowOnScreen.h"
#include "shell/HostOperations.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>

#include <utility>

using platform::LabelControl;
using platform::MakeLabel;
using platform::RectFromTwips;

namespace {

constexpr std::uint32_t kTitleTeal = 0x00808000;
constexpr std::uint32_t kBandCyan = 0x00FFFFC0;

// The picture box is wider than it is tall; the loudspeaker keeps its
// square shape, centred, instead of being pulled out of proportion.
QPixmap ProductPicture(QSize box, qreal dpr)
{
    const int side = qMin(box.width(), box.height());
    QPixmap picture(qRound(box.width() * dpr), qRound(box.height() * dpr));
    picture.setDevicePixelRatio(dpr);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.drawPixmap(QPoint((box.width() - side) / 2, (box.height() - side) / 2),
                       artwork::LoudspeakerIcon(side, dpr));
    return picture;
}

QFont TitleFont()
{
    platform::InstallFontSubstitutions();
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(14.25);
    font.setBold(true);
    return font;
}

}  // namespace

Form8::Form8(const QString& storedHomePageAddress, QWidget* parent)
    : QWidget(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint),
      storedHomePage_(storedHomePageAddress)
{
    setObjectName(QStringLiteral("Form8"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setWindowIcon(artwork::LoudspeakerAppIcon());
    setFixedSize(RectFromTwips(0, 0, 4605, 2640).size());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, platform::ColorFromVb(platform::kVbWhite));
    setPalette(colours);
    setAutoFillBackground(true);

    // Created first, so it lies beneath everything else.
    Label2 = new QLabel(this);
    Label2->setGeometry(RectFromTwips(0, 0, 4755, 975));
    QPalette band = Label2->palette();
    band.setColor(QPalette::Window, platform::ColorFromVb(kBandCyan));
    Label2->setPalette(band);
    Label2->setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setGeometry(RectFromTwips(240, 240, 855, 675));
    Image1->setScaledContents(true);
    Image1->setPixmap(ProductPicture(Image1->size(), qApp->devicePixelRatio()));

    const QFont title = TitleFont();
    Label6 = MakeLabel(this, QStringLiteral("Kardelo"), RectFromTwips(1260, 300, 3000, 285), kTitleTeal, true, &title);
    Label4 = MakeLabel(this, QStringLiteral("版本：V2.01"), RectFromTwips(3300, 720, 990, 180), kTitleTeal, true);
    lblDescription = MakeLabel(this, QStringLiteral("开发：Kardelo 开发组"), RectFromTwips(1020, 1200, 1620, 180),
                               platform::kVbBlack, true);
    Label1 = MakeLabel(this, QStringLiteral("邮箱：kardelo@example.org"), RectFromTwips(1020, 1500, 1800, 180),
                       platform::kVbButtonText, true);
    Label3 = MakeLabel(this, QStringLiteral("微信：kardelo-example"), RectFromTwips(1020, 1800, 1530, 180),
                       platform::kVbButtonText, true);
    Label5 = MakeLabel(this, QStringLiteral("主页："), RectFromTwips(1020, 2100, 540, 180), platform::kVbButtonText, true);
    Label7 = MakeLabel(this, QString(), RectFromTwips(1560, 2100, 1800, 180), platform::kVbBlue, true);
    Label7->setCursor(platform::PointingHandCursor());
    connect(Label7, &LabelControl::MouseDown, this,
            [this](int button, int, double, double) { Label7_MouseDown(button); });
    connect(Label7, &LabelControl::MouseUp, this,
            [this](int button, int, double x, double y) { Label7_MouseUp(button, x, y); });

    Form_Load();
}

void Form8::Form_Load()
{
    CentreWindowOnScreen(*this);

    try {
        Label7->setCaption(DecodedCopy(storedHomePage_));
    } catch (const AddressDecodeError&) {
        // The built-in list always decodes; a broken one just leaves the
        // address out rather than taking the window down.
    }
}

void Form8::Label7_Click()
{
    try {
        OpenInBrowser(nullptr, DecodedCopy(storedHomePage_));
    } catch (const AddressDecodeError&) {
        // Nothing to open, and nothing to tell: the click just does nothing.
    }
}

void Form8::Label7_MouseDown(int button)
{
    label7Pressed_ = button == platform::kLeftButton;
}

void Form8::Label7_MouseUp(int button, double x, double y)
{
    if (button != platform::kLeftButton)
        return;
    const bool wasPressed = std::exchange(label7Pressed_, false);
    const QPointF at(x / platform::kTwipsPerPixel, y / platform::kTwipsPerPixel);
    if (wasPressed && QRectF(Label7->rect()).contains(at))
        Label7_Click();
}

void Form8::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
