#pragma once

#include <string>
#include <string_view>

#include <QString>

// The one meeting point of the program's CP932 byte texts and Qt's Unicode.
QString ToQString(std::string_view cp932);
/// A program text written in UTF-8 in the source (u8"..."), for Qt: its CP932 form (Sjis) passed
/// through the meeting point above, so it shows exactly as the same text does anywhere else.
QString ToQString(std::u8string_view utf8);
/// The text in CP932; a character CP932 cannot hold becomes "?". When lost is given, it receives
/// the position in the result of the first such "?", or npos when every character was kept.
std::string FromQString(const QString& text, std::size_t* lost = nullptr);

/// Installs Qt's own Japanese texts (the edit menus, the colour dialog); once per run, and
/// before anything that shows them is created.
void InstallQtTranslations();
