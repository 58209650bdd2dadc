#pragma once

// Edits of a UTF-16LE settings file made through its CP932 rendering, which is what the profile
// functions parse. Internal to the profile layer.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ini_text.h"
#include "platform/profile.h"

/// Applies writes to bytes, a UTF-16LE file with its byte-order mark whose CP932 rendering is
/// parsed in text: each write changes the rendering's bytes of one key, and exactly the UTF-16LE
/// characters behind them give way to the new bytes in UTF-16LE, so every other character keeps
/// its bytes, even one that the rendering shows as "?". A file holding only its mark counts as one
/// line without a line end, so its first write starts with CR LF. Returns the new bytes, with
/// rendering set to their parse; nullopt when every key already holds its value.
std::optional<std::string> EditUtf16Text(std::string bytes, const IniText& text,
    const std::vector<ProfileWrite>& writes, std::unique_ptr<IniText>& rendering);

/// The UTF-16LE file, byte-order mark included, that holds the CP932 text, with rendering set to
/// its parse.
std::string Utf16TextFile(const std::string& text, std::unique_ptr<IniText>& rendering);
