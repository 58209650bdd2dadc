#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_lock.h"
#include "platform/wintypes.h"

// The profile functions: read and write one key of an INI file. Only the ordinary forms exist:
// every argument must be a real, zero-terminated text (no listing or deleting forms).

/// Copies the value of key in section of the file at path into buffer, or def when the file, the
/// section or the key is missing. Returns the number of bytes copied without the terminating
/// zero; a text that does not fit is cut to size - 1 bytes.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* def, char* buffer,
    DWORD size, const char* path);

/// Reads the keys named 1 to count (in decimal) of section, in that order, as count calls of
/// GetPrivateProfileStringA with def and a buffer of size bytes (1 or more) would, but from one
/// look at the file: each(text) receives what the call for the key would copy out. each must not
/// call the profile functions.
void GetPrivateProfileNumberedStringsA(const char* section, std::int32_t count, const char* def,
    DWORD size, const char* path, const std::function<void(std::string_view text)>& each);

/// Sets key in section to value, creating the file, the section and the key as needed.
/// The file is replaced in one step, so it is never left half written. The write holds the file's
/// ProfileLock from its read to its rename; non-zero on success, zero when the write is refused or
/// the lock cannot be had (nothing is then written).
BOOL WritePrivateProfileStringA(
    const char* section, const char* key, const char* value, const char* path);

/// One key to set with WritePrivateProfileStringsA.
struct ProfileWrite
{
    std::string section;
    std::string key;
    std::string value;
};

/// Sets several keys in order, leaving what as many WritePrivateProfileStringA calls would leave,
/// but replaces the file once: either every write lands or none does. Non-zero on success.
BOOL WritePrivateProfileStringsA(const std::vector<ProfileWrite>& writes, const char* path);

/// Replaces the file's whole text with text (CP932), in one step and under the file's ProfileLock.
/// A UTF-16LE file stays UTF-16LE with its byte-order mark; any other file and a new one get text
/// as it stands. Non-zero on success.
BOOL WritePrivateProfileTextA(const std::string& text, const char* path);

/// While one lives, reads of path see the file as it was at its first read: the file is looked at
/// once instead of once per read, and a batch of reads sees one consistent file. Writes made
/// meanwhile on the same thread are seen. It holds for the thread that made it.
class ProfileSnapshot
{
public:
    explicit ProfileSnapshot(const char* path);
    ~ProfileSnapshot();
    ProfileSnapshot(const ProfileSnapshot&) = delete;
    ProfileSnapshot& operator=(const ProfileSnapshot&) = delete;
};
