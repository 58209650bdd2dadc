#pragma once

#include <string>

#include <sys/types.h>

// Where a user's own files go on this platform, after the freedesktop.org base directory rules.

/// The user's home directory: HOME when it is an absolute path, else the password database's entry
/// for the real user, else "/". No trailing separator unless it is "/" itself.
std::string HomeDirectory();

/// The base directory for the user's configuration files: XDG_CONFIG_HOME when it is an absolute
/// path (unset, empty and relative values are ignored), else ".config" in the home directory.
std::string UserConfigHome();

/// The base directory for the user's state files (kept between runs, not worth a backup):
/// XDG_STATE_HOME when it is an absolute path (unset, empty and relative values are ignored), else
/// ".local/state" in the home directory.
std::string UserStateHome();

/// Makes directory and each missing directory above it with mode (less the umask); existing ones
/// are left as they are. True when directory is a directory afterwards.
bool MakeDirectories(const std::string& directory, mode_t mode);
