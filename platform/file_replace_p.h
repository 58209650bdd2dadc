#pragma once

// What the tests of file replacement reach inside it. Not part of the program's interface:
// included by file_replace.cpp and by tests only.

#include <functional>
#include <string>
#include <string_view>

#include <sys/types.h>

/// The rename that puts a finished temporary file in place: rename(2), unless a test swaps it.
std::function<int(const char* from, const char* to)>& RenameForReplace();

/// The name of a temporary file that writer (a process id) on the computer named host makes
/// beside the file named base: ".<base>.<pid>-<8 random characters>.<host>.tmp".
std::string TemporaryFileName(std::string_view base, std::string_view host, pid_t writer);

/// This computer's name as temporary file names carry it.
const std::string& ThisHostName();
