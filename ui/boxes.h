#pragma once

#include <functional>
#include <string>

#include <QPoint>
#include <QSize>

class QString;
class QWidget;

// The information box, the warning box and the application's exception box.

enum BoxButton : unsigned { mbYes = 1u << 0, mbNo = 1u << 1, mbOK = 1u << 2, mbCancel = 1u << 3 };
using BoxButtons = unsigned;

inline constexpr int idOK = 1;
inline constexpr int idCancel = 2;
inline constexpr int idYes = 6;
inline constexpr int idNo = 7;

/// The application title (caption of the information and exception boxes), CP932 bytes.
std::string& ApplicationTitle();

/// Caption: the application title; no icon; OK alone.
void ShowInformationBox(const std::string& message);

/// The same box for a text that quotes the user's own characters, which CP932 may lack.
void ShowUnicodeInformationBox(const QString& message);

/// Caption "警告", exclamation icon, the given buttons in the order Yes, No, OK, Cancel.
/// Returns 6, 7, 1 or 2; 2 when closed through the close box.
int ShowWarningBox(const std::string& message, BoxButtons buttons);

/// The same boxes for a text in UTF-8, shown as written: for texts that quote what the code page
/// cannot hold (the names in a palette file).
void ShowInformationBoxUtf8(const std::string& utf8);
int ShowWarningBoxUtf8(const std::string& utf8, BoxButtons buttons);

/// The message as the exception box shows it: "." appended when the message is not empty and
/// its last byte is above that of ".".
std::string ExceptionBoxText(const std::string& message);

/// The application's exception box: the title as caption, the stop icon, one OK button.
void ShowExceptionBox(const std::string& message);

/// Places a top-level window by its outer size, the window manager's frame counted: rule gives
/// the frame's top-left corner for an outer size. Before the window is shown the frame is taken
/// from a window already framed (frames of one desktop are alike); once the window manager has
/// framed this one, the window is moved again if its own frame differs.
void PlaceByOuterSize(QWidget& window, const std::function<QPoint(const QSize& outer)>& rule);
