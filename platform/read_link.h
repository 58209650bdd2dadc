#pragma once

#include <optional>
#include <string>

/// The target of the symbolic link at path, however long; nothing when path is no link or cannot
/// be read.
std::optional<std::string> ReadLink(const std::string& path);
