#pragma once

#include <string>
#include <vector>

#include "platform/wintypes.h"

// The profile functions: read and write one key of an INI file. Only the ordinary forms exist:
// every argument must be a real, zero-terminated text (no listing or deleting forms).

/// Copies the value of key in section of the file at path into buffer, or def when the file, the
/// section or the key is missing. Returns the number of bytes copied without the terminating
/// zero; a text that does not fit is cut to size - 1 bytes.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* def,
                               char* buffer, DWORD size, const char* path);

/// Sets key in section to value, creating the file, the section and the key as needed.
/// The file is replaced in one step, so it is never left half written. Non-zero on success.
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* path);

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
