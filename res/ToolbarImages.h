#pragma once
// The images of toolbar 128 (16 x 15 pixels each) and the program's icons.
#include <QIcon>
#include <QPixmap>

// The button image of a toolbar command; a null pixmap for commands without a button.
QPixmap ToolbarImage(uint16_t nId);
// The program's icon (main window, about box) and the picture windows' icon.
QIcon AppIcon();
QIcon DocIcon();
