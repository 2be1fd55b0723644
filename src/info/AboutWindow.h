// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/widgets/CaptionButton.h"
#include "platform/widgets/CaptionLabel.h"

#include <QLabel>
#include <QString>
#include <QWidget>

// The About window: product name, version, credit, contacts and the home
// page, which opens in the browser when its address is clicked (or, from
// the keyboard, pressed with Space or Return). Not modal;
// it deletes itself when closed, so each showing starts from a fresh load.
class AboutWindow : public QWidget {
    Q_OBJECT

public:
    static inline const QString kTitle = QStringLiteral("版本信息");

    // storedHomePageAddress is the encoded list; it is decoded on load and
    // again on every click, never kept as text.
    explicit AboutWindow(const QString& storedHomePageAddress, QWidget* parent = nullptr);

    // Opens the home page in the browser, as a click on its address does.
    void openHomePage();

    QLabel* titleBand = nullptr;
    QLabel* productPicture = nullptr;
    platform::CaptionLabel* productName = nullptr;
    platform::CaptionLabel* versionLabel = nullptr;
    platform::CaptionLabel* developerLabel = nullptr;
    platform::CaptionLabel* emailLabel = nullptr;
    platform::CaptionLabel* wechatLabel = nullptr;
    platform::CaptionLabel* homePageCaption = nullptr;
    platform::CaptionButton* homePageLink = nullptr;

protected:
    // Escape closes it, as it closes any dialog.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Runs once, from the constructor.
    void centreAndShowHomePage();
    void linkPressed(Qt::MouseButton button);
    void linkReleased(Qt::MouseButton button, QPointF position);

    QString storedHomePage_;
    // A click is a left press and a left release both on the label.
    bool linkPressed_ = false;
};
