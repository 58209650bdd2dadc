#include "platform/read_link.h"

#include <unistd.h>

std::optional<std::string> ReadLink(const std::string& path)
{
    std::string target(256, '\0');
    for (;;) {
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            return std::nullopt;
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            return target;
        }
        target.resize(target.size() * 2); // may have been cut: read again with more room
    }
}
