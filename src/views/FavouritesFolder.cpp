// The delete buttons of the favourites view.
#include "shell/Form1.h"

#include "platform/MouseButtons.h"

#include <QFile>

void Form1::Label11_MouseDown(int index, int button, int, double, double)
{
    if (button != platform::kLeftButton)
        return;
    Picture9[index]->setPicture(Picture7->Picture());
}

void Form1::Label11_MouseUp(int index, int button, int, double, double)
{
    if (button != platform::kLeftButton)
        return;
    Picture9[index]->setPicture(Picture8->Picture());
    const QString name = List3.List(index + V1->Value());
    // No confirmation and no message: a file that cannot go simply stays
    // listed after the refresh.
    if (!name.isEmpty())
        QFile::remove(File1.Path() + u'/' + name);
    Option2_Click();
}
