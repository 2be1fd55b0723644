// SPDX-License-Identifier: GPL-3.0-or-later

// The reference the start-up benchmark holds Kardelo against: the least a
// Qt Widgets program does to put a main window with one label on screen.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Kardelo")));
    window.setFixedSize(760, 555);
    window.show();
    return application.exec();
}
