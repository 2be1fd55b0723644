// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/AboutWindow.h"

#include "KardeloVersion.h"
#include "artwork/Artwork.h"
#include "artwork/PointingHandCursor.h"
#include "format/DecodeAddress.h"
#include "parts/Colours.h"
#include "platform/host/HostOperations.h"
#include "platform/widgets/FitWindowOnScreen.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/TextPlacement.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <utility>

using platform::CaptionLabel;
using platform::makeLabel;

namespace {

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
    setFixedSize(QRect(0, 0, 307, 176).size());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours::paper);
    setPalette(colours);
    setAutoFillBackground(true);

    // Created first, so it lies beneath everything else.
    titleBand = new QLabel(this);
    titleBand->setGeometry(QRect(0, 0, 317, 65));
    QPalette band = titleBand->palette();
    band.setColor(QPalette::Window, colours::aboutBand);
    titleBand->setPalette(band);
    titleBand->setAutoFillBackground(true);

    productPicture = new QLabel(this);
    productPicture->setGeometry(QRect(16, 16, 57, 45));
    // Stretched to fill its box, which is wider than it is tall.
    productPicture->setScaledContents(true);
    productPicture->setPixmap(
        artwork::loudspeakerIcon(qMax(productPicture->width(), productPicture->height()), qApp->devicePixelRatio()));

    const QFont title = titleFont();
    productName = makeLabel(this, QStringLiteral("Kardelo"), QRect(84, 20, 200, 19), colours::aboutTitle, true, &title);
    versionLabel =
        makeLabel(this, QStringLiteral("版本：V") + kDisplayVersion, QRect(220, 48, 66, 12), colours::aboutTitle, true);
    developerLabel =
        makeLabel(this, QStringLiteral("开发：Kardelo 开发组"), QRect(68, 80, 108, 12), colours::text, true);
    emailLabel = makeLabel(this, QStringLiteral("邮箱：kardelo@example.org"), QRect(68, 100, 120, 12),
                           colours::desktopDefault, true);
    wechatLabel = makeLabel(this, QStringLiteral("微信：kardelo-example"), QRect(68, 120, 102, 12),
                            colours::desktopDefault, true);
    homePageCaption = makeLabel(this, QStringLiteral("主页："), QRect(68, 140, 36, 12), colours::desktopDefault, true);
    homePageLink = new platform::CaptionButton(this, QAccessible::Link);
    homePageLink->setTextColour(colours::link);
    platform::placeText(homePageLink, QRect(104, 140, 120, 12));
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
    platform::fitWindowOnScreen(*this);

    homePageLink->setCaption(builtInAddress(storedHomePage_));
}

void AboutWindow::openHomePage()
{
    platform::openInBrowser(nullptr, builtInAddress(storedHomePage_));
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
