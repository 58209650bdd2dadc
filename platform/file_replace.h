#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Replacing a file's whole content in one step, so that a crash or a kill at any moment leaves
// either the old or the new content, never a mix.

/// The file that a write to path must replace: symbolic links are followed to their target, so a
/// link stays a link. Empty for a loop of links or an unreadable link.
std::optional<std::string> ResolveLinks(std::string path);

/// Puts content in place of the file at path: written and synced under a fresh name in the same
/// directory, then renamed over it, and the directory synced. An existing file keeps its owner and
/// permission bits; a new file gets 0666 less the umask. Refused (false) when the file exists but
/// is not a regular file or is write-protected, and on any failure; the file is then as it was and
/// no temporary file is left behind.
bool ReplaceFileContents(const std::string& path, std::string_view content);

/// The rename that puts a finished temporary file in place (rename(2) unless a test swaps it).
std::function<int(const char* from, const char* to)>& RenameForReplace();
