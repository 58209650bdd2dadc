#pragma once

#include <QIcon>
#include <QImage>

// The pictures of the picture buttons and the program icon, drawn in 16 colours.

enum class ButtonPicture { Exit, ColorDialog, Help, Copy };

/// The button's 32x16 picture: the normal image on the left, the grey one on the right; every
/// pixel of the bottom-left pixel's colour is transparent.
QImage ButtonPictureImage(ButtonPicture which);

/// The button's icon: the left image for the normal state, the right one for the disabled state.
QIcon ButtonPictureIcon(ButtonPicture which);

/// The 32x32 program icon, fully opaque.
QImage ProgramIconImage();
