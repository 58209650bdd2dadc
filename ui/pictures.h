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

/// The button's icon for a button whose face has the given colour. On a light face it is the icon
/// above. On a dark face every pixel that hardly stands out from the face (the black outlines, the
/// dark red door) gets a halo of the halo colour one pixel wide (two at twice the size), so that
/// the motifs keep their shape; the motifs' own pixels stay as they are, and the pictures grow by
/// the halo's width on every side.
QIcon ButtonPictureIcon(ButtonPicture which, const QColor& face, const QColor& halo);

/// The size at which a button with this face shows its icon: 16x16, or 18x18 with the halo.
QSize ButtonPictureSize(const QColor& face);

/// The sizes in pixels of the program icon's pictures, the same as the desktop's icon theme has.
inline constexpr int ProgramIconSizes[] = { 16, 24, 32, 48, 64, 128, 256 };

/// The largest size the window's own icon carries. An X11 window hands its icon to the window
/// manager as plain pixels of every size it holds, at every start: 128 and 256 would be 94% of
/// those pixels, decoded and sent for title bars and task switchers that draw 16 to 64. Desktops
/// take larger pictures from the icon theme, where the package installs every size.
inline constexpr int WindowIconMaxSize = 64;

/// The program icon (window and taskbar) on a transparent ground, at every size up to
/// WindowIconMaxSize.
QIcon ProgramIcon();
