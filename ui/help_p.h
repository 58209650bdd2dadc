#pragma once

// Private to the help viewer and its tests: a stand-in that records the calls of WinHelpA instead
// of opening anything. The program never includes this header.

#include <cstdint>
#include <functional>
#include <string>

#include "ui/help.h"

/// One call of WinHelpA.
struct HelpRequest
{
    QWidget* owner;
    std::string file; // the file system's bytes
    UINT command;
    std::uintptr_t data;
};

/// When set, WinHelpA hands every call to this function instead of acting on it.
std::function<BOOL(const HelpRequest&)>& WinHelpHook();
