#include "info/AboutWindow.h"

#include "artwork/Artwork.h"
#include "catalogue/DecodeAddress.h"
#include "platform/widgets/CentreWindowOnScreen.h"
#include "platform/widgets/ColourCode.h"
#include "platform/widgets/Fonts.h"
#include "platform/host/HostOperations.h"
#include "artwork/PointingHandCursor.h"
#include "platform/widgets/TextPlacement.h"
#include "platform/widgets/Twips.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <utility>

using platform::CaptionLabel;
using platform::makeLabel;
using platform::rectFromTwips;

namespace {

constexpr std::uint32_t kTitleTeal = 0x00808000;
constexpr std::uint32_t kBandCyan = 0x00FFFFC0;

QFont titleFont()
{
    platform::installFontSubstitutions();
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(14.25);
    font.setBold(true);
    return font;
}

}  // namespace

AboutWindow::AboutWindow(const QString& storedHomePageAddress, QWidget* parent)
    : QWidget(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint),
      storedHomePage_(storedHomePageAddress)
{
    setObjectName(QStringLiteral("aboutWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kTitle);
    setWindowIcon(artwork::loudspeakerAppIcon());
    setFixedSize(rectFromTwips(0, 0, 4605, 2640).size());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, platform::colourFromCode(platform::kColourWhite));
    setPalette(colours);
    setAutoFillBackground(true);

    // Created first, so it lies beneath everything else.
    titleBand = new QLabel(this);
    titleBand->setGeometry(rectFromTwips(0, 0, 4755, 975));
    QPalette band = titleBand->palette();
    band.setColor(QPalette::Window, platform::colourFromCode(kBandCyan));
    titleBand->setPalette(band);
    titleBand->setAutoFillBackground(true);

    productPicture = new QLabel(this);
    productPicture->setGeometry(rectFromTwips(240, 240, 855, 675));
    // Stretched to fill its box, which is wider than it is tall.
    productPicture->setScaledContents(true);
    productPicture->setPixmap(artwork::loudspeakerIcon(qMax(productPicture->width(), productPicture->height()),
                                                       qApp->devicePixelRatio()));

    const QFont title = titleFont();
    productName =
        makeLabel(this, QStringLiteral("Kardelo"), rectFromTwips(1260, 300, 3000, 285), kTitleTeal, true, &title);
    versionLabel = makeLabel(this, QStringLiteral("版本：V2.01"), rectFromTwips(3300, 720, 990, 180), kTitleTeal, true);
    developerLabel = makeLabel(this, QStringLiteral("开发：Kardelo 开发组"), rectFromTwips(1020, 1200, 1620, 180),
                               platform::kColourBlack, true);
    emailLabel = makeLabel(this, QStringLiteral("邮箱：kardelo@example.org"), rectFromTwips(1020, 1500, 1800, 180),
                       platform::kColourButtonText, true);
    wechatLabel = makeLabel(this, QStringLiteral("微信：kardelo-example"), rectFromTwips(1020, 1800, 1530, 180),
                       platform::kColourButtonText, true);
    homePageCaption = makeLabel(this, QStringLiteral("主页："), rectFromTwips(1020, 2100, 540, 180),
                                platform::kColourButtonText, true);
    homePageLink = new platform::CaptionButton(this, QAccessible::Link);
    homePageLink->setTextColour(platform::kColourBlue);
    platform::placeText(homePageLink, rectFromTwips(1560, 2100, 1800, 180));
    homePageLink->setAutoSize(true);
    homePageLink->setCursor(artwork::pointingHandCursor());
    // Read out as what it is; the address it opens follows as its
    // description.
    homePageLink->setAccessibleName(QStringLiteral("作者主页"));
    homePageLink->setDescribedBy(homePageLink);
    connect(homePageLink, &CaptionLabel::pressed, this, &AboutWindow::linkPressed);
    connect(homePageLink, &CaptionLabel::released, this, &AboutWindow::linkReleased);

    centreAndShowHomePage();
}

void AboutWindow::centreAndShowHomePage()
{
    platform::centreWindowOnScreen(*this);

    try {
        homePageLink->setCaption(decodedCopy(storedHomePage_));
    } catch (const AddressDecodeError&) {
        // The built-in list always decodes; a broken one just leaves the
        // address out rather than taking the window down.
    }
}

void AboutWindow::openHomePage()
{
    try {
        platform::openInBrowser(nullptr, decodedCopy(storedHomePage_));
    } catch (const AddressDecodeError&) {
        // Nothing to open, and nothing to tell: the click just does nothing.
    }
}

void AboutWindow::linkPressed(Qt::MouseButton button)
{
    linkPressed_ = button == Qt::LeftButton;
}

void AboutWindow::linkReleased(Qt::MouseButton button, QPointF position)
{
    if (button != Qt::LeftButton)
        return;
    const bool wasPressed = std::exchange(linkPressed_, false);
    if (wasPressed && QRectF(homePageLink->rect()).contains(position))
        openHomePage();
}

void AboutWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
