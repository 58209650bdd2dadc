#pragma once

#include <string>

#include <QString>

// The one meeting point of the program's CP932 byte texts and Qt's Unicode.
QString ToQString(const std::string& cp932);
std::string FromQString(const QString& text);
