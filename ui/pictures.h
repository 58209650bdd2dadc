#pragma once

#include <QIcon>
#include <QImage>

// The pictures of the picture buttons, drawn in 16 colours, and the program icon.

enum class ButtonPicture { Exit, ColorDialog, Help, Copy };

/// The button's 32x16 picture: the normal image on the left, the grey one on the right; every
/// pixel of the bottom-left pixel's colour is transparent.
QImage ButtonPictureImage(ButtonPicture which);

/// The button's icon: the left image for the normal state, the right one for the disabled state,
/// and the normal image drawn at twice the size for a device pixel ratio of 2.
QIcon ButtonPictureIcon(ButtonPicture which);

/// The sizes in pixels of the program icon's pictures, the same as the desktop's icon theme has.
inline constexpr int ProgramIconSizes[] = { 16, 24, 32, 48, 64, 128, 256 };

/// The program icon (window and taskbar) at every size, on a transparent ground.
QIcon ProgramIcon();
