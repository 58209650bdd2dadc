#pragma once

#include <string>
#include <string_view>

/// A word of the command line (the file system's bytes, UTF-8) as a message quotes it: CP932
/// between single quotes, a character CP932 cannot hold as "?", control characters as "?", and cut
/// after 40 characters with "..." so that the message stays one short line.
std::string QuotedArgument(std::string_view word);
