#include "settings/string_list.h"

#include <cstdint>
#include <stdexcept>

TStringList::TStringList(std::initializer_list<std::string_view> strings)
{
    std::size_t bytes = 0;
    for (const std::string_view text : strings) {
        bytes += text.size();
    }
    reserve(strings.size(), bytes);
    for (const std::string_view text : strings) {
        push_back(text);
    }
}

void TStringList::reserve(std::size_t strings, std::size_t bytes)
{
    m_ends.reserve(m_ends.size() + strings);
    m_bytes.reserve(m_bytes.size() + bytes);
}

void TStringList::push_back(std::string_view text)
{
    if (text.size() > UINT32_MAX - m_bytes.size()) {
        throw std::length_error("TStringList holds at most 4 GiB");
    }
    m_bytes.append(text);
    m_ends.push_back(static_cast<std::uint32_t>(m_bytes.size()));
}

void TStringList::clear()
{
    m_bytes.clear();
    m_ends.clear();
}

std::ostream& operator<<(std::ostream& out, const TStringList& list)
{
    out << '{';
    const char* separator = "";
    for (const std::string_view text : list) {
        out << separator << '"' << text << '"';
        separator = ", ";
    }
    return out << '}';
}
