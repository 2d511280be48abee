#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, kept in its resources.
namespace dividra::ui {

enum class Picture {
    Split, // tool bar pictures 0 to 5, in tool bar order
    Options,
    Help,
    Exit,
    Dos83,
    ShowIcons,
    Diskette35,  // a 3.5-inch diskette
    Diskette525, // a 5.25-inch diskette
    ProgramIcon, // 32 x 32, the 16-colour look of its time
};

// The picture at `size` pixels square.
QPixmap PicturePixmap(Picture picture, int size);
QIcon PictureIcon(Picture picture);

} // namespace dividra::ui
