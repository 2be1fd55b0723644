// The row action button: a face picture with a caption on it, pressed by
// the left button only.
#include "shell/Form1.h"

#include "platform/MouseButtons.h"

void Form1::Label10_MouseDown(int index, int button, int, double, double)
{
    if (button != platform::kLeftButton)
        return;
    Picture6[index]->setPicture(Picture7->Picture());
}

void Form1::Label10_MouseUp(int index, int button, int, double, double)
{
    if (button != platform::kLeftButton)
        return;
    Picture6[index]->setPicture(Picture8->Picture());
}
