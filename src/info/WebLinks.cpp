// The commands that open web pages, show the About window or end the
// program.
#include "shell/Form1.h"

#include "catalogue/DecodeAddress.h"
#include "info/Form8.h"
#include "shell/HostOperations.h"

namespace {

// The built-in lists always decode. Should one not, the command does
// nothing, as a browser that never starts does nothing; an exception must
// not unwind through Qt's event dispatch.
void OpenStoredAddress(QWidget* owner, const QString& stored)
{
    try {
        OpenInBrowser(owner, DecodedCopy(stored));
    } catch (const AddressDecodeError&) {
    }
}

}  // namespace

void Form1::ConnectWebLinks()
{
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(退出, &QAction::triggered, this, &Form1::退出_Click);
    connect(版本信息, &QAction::triggered, this, &Form1::版本信息_Click);
    connect(操作说明, &QAction::triggered, this, &Form1::操作说明_Click);
    connect(访问作者主页, &QAction::triggered, this, &Form1::访问作者主页_Click);
}

void Form1::Command1_Click()
{
    OpenStoredAddress(this, addresses_.phoneEdition);
}

void Form1::退出_Click()
{
    // At once: no unload step, so a running download is simply abandoned.
    EndProgram();
}

void Form1::版本信息_Click()
{
    // A window closed a moment ago is hidden but may not be deleted yet;
    // it counts as gone.
    if (!AboutWindow || AboutWindow->isHidden()) {
        AboutWindow = new Form8(addresses_.homePage);
        // It has no owner, but should the main window go without ending
        // the process it takes the About window along.
        connect(this, &QObject::destroyed, AboutWindow.data(), [about = AboutWindow.data()] { delete about; });
    }
    AboutWindow->show();
    AboutWindow->raise();
    AboutWindow->activateWindow();
}

void Form1::操作说明_Click()
{
    OpenStoredAddress(this, addresses_.helpPage);
}

void Form1::访问作者主页_Click()
{
    OpenStoredAddress(nullptr, addresses_.homePage);
}
