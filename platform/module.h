#pragma once

#include "platform/wintypes.h"

/// The running program file's full path (module must be null). Copies at most size - 1 bytes and
/// a terminating zero; returns the number of bytes copied without it (size when cut, as Windows).
DWORD GetModuleFileNameA(void* module, char* buffer, DWORD size);

/// The directory that stands in for the Windows directory: "/etc" (no trailing separator).
UINT GetWindowsDirectoryA(char* buffer, UINT size);

/// Removes the file at path. Non-zero on success.
BOOL DeleteFileA(const char* path);

inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;

/// Renames from to to in one step; with MOVEFILE_REPLACE_EXISTING an existing file at to is
/// replaced atomically. Non-zero on success.
BOOL MoveFileExA(const char* from, const char* to, DWORD flags);
