#pragma once

#include <string>
#include <string_view>

/// A colour's name (UTF-8) brought into the settings file's code page (CP932), so that the colour
/// keeps a name: every character CP932 holds stays; a Latin letter with an accent becomes the
/// letter without it, and an accent standing alone after its letter is dropped; any other
/// character becomes "〓", as Japanese text marks a character that cannot be set.
std::string NameInCodePage(std::string_view utf8);
