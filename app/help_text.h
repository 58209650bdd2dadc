#pragma once

#include <string>

/// The one line that shows how the program is called, with a line end (CP932).
std::string UsageLine();

/// What --help prints: every option, the forms of a colour and the exit statuses (CP932).
std::string HelpText();
