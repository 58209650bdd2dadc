#include "colour/exception.h"

std::string FormatWithText(const std::string& pattern, const std::string& text)
{
    std::string result = pattern;
    const std::size_t at = result.find("%s");
    if (at != std::string::npos) {
        result.replace(at, 2, text);
    }
    return result;
}
