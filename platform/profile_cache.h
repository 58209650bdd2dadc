#pragma once

// The cache of parsed settings files that the profile functions share, and the rule that says when
// a cached parse may stand for the file without reading it again. Internal to the profile layer.

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/ini_text.h"

/// The first bytes of a UTF-16LE file.
constexpr std::string_view Utf16Mark = "\xFF\xFE";

/// One parse of a file's bytes.
struct FileParse
{
    /// A UTF-16LE file's own bytes, byte-order mark included; empty for any other file.
    std::string utf16;
    /// The file's text; a UTF-16LE file's CP932 rendering.
    std::unique_ptr<IniText> text;
};

enum class FileState { Missing, Present, Unusable };

/// What a load of a file found. parse is set only when the file is Present.
struct LoadedFile
{
    FileState state = FileState::Missing;
    std::shared_ptr<FileParse> parse;
};

/// Held by every caller of the functions below and for as long as it uses what they give.
std::mutex& ProfileCacheMutex();

/// The file at path, parsed: taken from the cache when the file is the one cached and has not
/// changed since, else read and parsed. Inside a ProfileSnapshot of path on this thread, the first
/// load serves every later one, and the first fresh load every later fresh one. With fresh, the
/// file is opened before its identity is compared (which on a network file system makes the client
/// ask the server instead of trusting what it last saw); a writer holding the file's lock loads it
/// so.
LoadedFile LoadParsedFile(const char* path, bool fresh);

/// Keeps what a write just put in place at path as the parse of the next load, which still checks
/// it against the file. rendering is given for a UTF-16LE file (content then being its bytes) and
/// null for any other (content then being its text).
void KeepWrittenFile(
    const std::string& path, std::string content, std::unique_ptr<IniText> rendering);
