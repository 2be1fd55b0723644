#pragma once

#include "platform/LabelControl.h"

#include <QLabel>
#include <QString>
#include <QWidget>

// The About window: product name, version, credit, contacts and the home
// page, which opens in the browser when its address is clicked. Not modal;
// it deletes itself when closed, so each showing starts from a fresh load.
class Form8 : public QWidget {
    Q_OBJECT

public:
    static inline const QString kCaption = QStringLiteral("版本信息");

    // storedHomePageAddress is the encoded list; it is decoded on load and
    // again on every click, never kept as text.
    explicit Form8(const QString& storedHomePageAddress, QWidget* parent = nullptr);

    // Runs once, from the constructor: centres the window on the screen and
    // shows the home-page address.
    void Form_Load();
    void Label7_Click();

    QLabel* Label2 = nullptr;
    QLabel* Image1 = nullptr;
    platform::LabelControl* Label6 = nullptr;
    platform::LabelControl* Label4 = nullptr;
    platform::LabelControl* lblDescription = nullptr;
    platform::LabelControl* Label1 = nullptr;
    platform::LabelControl* Label3 = nullptr;
    platform::LabelControl* Label5 = nullptr;
    platform::LabelControl* Label7 = nullptr;

protected:
    // Escape closes it, as it closes any dialog.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Label7_MouseDown(int button);
    void Label7_MouseUp(int button, double x, double y);

    QString storedHomePage_;
    // A click is a left press and a left release both on the label.
    bool label7Pressed_ = false;
};
