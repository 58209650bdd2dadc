#pragma once

#include <optional>
#include <string>
#include <string_view>

// Replacing a file's whole content in one step, so that a crash or a kill at any moment leaves
// either the old or the new content, never a mix.

/// The file that a write to a path replaces, with its symbolic links followed (so a link stays a
/// link): its path, the folder that holds it and its name in that folder. Worked out once per
/// write and handed to everything the write does.
struct WriteTarget
{
    std::string path;
    std::string folder;
    std::string name;
};

/// The target of a write to path; nullopt for an empty path, a loop of links or an unreadable
/// link.
std::optional<WriteTarget> ResolveWriteTarget(const std::string& path);

/// True when this user may put a new file in place of target.path: an existing one is a regular
/// file this user may write, the folder lets this user add and rename files, and in a sticky
/// folder (such as /tmp) this user owns the file or the folder, or is root. Without a file yet, the
/// folder alone decides. A write that this refuses could not complete, so it takes no lock either.
bool MayReplaceFile(const WriteTarget& target);

/// Puts content in place of the file target.path: written and synced under a fresh name in the
/// same folder, then renamed over it, and the folder synced. An existing file keeps its owner and
/// permission bits; a new file gets 0666 less the umask. Refused (false) when MayReplaceFile refuses
/// it, and on any failure; the file is then as it was and
/// no temporary file is left behind.
bool ReplaceFileContents(const WriteTarget& target, std::string_view content);
