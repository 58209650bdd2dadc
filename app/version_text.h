#pragma once

#include <string>

/// What --version prints: the program's name and version, its copyright and its licence (CP932).
std::string VersionText();
