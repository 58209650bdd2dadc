#include "app/quoted_argument.h"

#include "platform/codepage.h"

std::string QuotedArgument(std::string_view word)
{
    std::string quoted = "'";
    quoted += ShownText(Utf8ToCp932(word), 40, "...");
    quoted += '\'';
    return quoted;
}
