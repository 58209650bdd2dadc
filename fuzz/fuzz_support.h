#pragma once

// Shared by the fuzz targets: a failing check that libFuzzer records as a crash, a private
// directory for the settings files the targets write, and an independent model of how the profile
// read treats a stored line, against which the real functions are compared.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);   \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz {

/// A directory of this process's own, on tmpfs when there is one, removed at exit.
inline const std::string& PrivateDirectory()
{
    static const std::string directory = [] {
        const char* base = std::getenv("TINTORA_FUZZ_TMP");
        if (!base || !*base)
            base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/tintora-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        static const std::string kept = pattern;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(kept, ignored);
        });
        return pattern;
    }();
    return directory;
}

/// Puts bytes into the file at path (created or truncated in place).
inline void WriteFile(const std::string& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    FUZZ_CHECK(fd >= 0);
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        FUZZ_CHECK(written > 0);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    ::close(fd);
}

inline std::string ReadFile(const std::string& path)
{
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    char chunk[65536];
    for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, static_cast<std::size_t>(got));
    ::close(fd);
    return bytes;
}

/// Prints a text with its bytes escaped, for looking into a failing input (TINTORA_FUZZ_SHOW=1).
inline void Show(const char* label, std::string_view text)
{
    if (!std::getenv("TINTORA_FUZZ_SHOW"))
        return;
    std::fprintf(stderr, "%s (%zu): \"", label, text.size());
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"')
            std::fputc(c, stderr);
        else
            std::fprintf(stderr, "\\x%02X", c);
    }
    std::fprintf(stderr, "\"\n");
}

/// The text as a C caller hands it over: up to its first NUL byte.
inline std::string CText(const std::string& text)
{
    return text.substr(0, text.find('\0'));
}

inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v';
}

inline bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

inline std::string_view Trim(std::string_view s, bool (*drop)(char))
{
    while (!s.empty() && drop(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && drop(s.back()))
        s.remove_suffix(1);
    return s;
}

inline std::string_view TrimBlanks(std::string_view s)
{
    return Trim(s, IsBlank);
}

inline std::string_view TrimSpaces(std::string_view s)
{
    return Trim(s, [](char c) { return c == ' '; });
}

/// What a read returns for a stored value text: blanks at both ends removed, then one pair of
/// like quotes, then cut to fit a buffer of size bytes.
inline std::string ReadBack(std::string_view stored, std::size_t size = 1024)
{
    std::string_view value = TrimBlanks(stored);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    value = value.substr(0, value.find('\0'));
    return std::string(value.substr(0, size == 0 ? 0 : size - 1));
}

inline bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

inline bool IsTrailByte(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

/// Names compare with ASCII letters folded; both bytes of a double-byte character stay as they are.
inline std::string Fold(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (IsLeadByte(c) && i + 1 < s.size() && IsTrailByte(static_cast<unsigned char>(s[i + 1]))) {
            out.append(s.substr(i, 2));
            ++i;
        } else {
            out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : s[i]);
        }
    }
    return out;
}

/// A section of a file as the model sees it: its header line starts at begin, its keys start at
/// body, and it ends where the next header line starts (or at the end of the file).
struct Section
{
    std::size_t begin;
    std::size_t body;
    std::size_t end;
    std::string name;
};

/// Every header line of text: a line whose first non-blank byte is "[", naming the text up to the
/// first "]" that is not the second byte of a double-byte character, blanks trimmed.
inline std::vector<Section> Sections(std::string_view text)
{
    std::vector<Section> sections;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = pos;
        while (end < text.size() && !IsLineEnd(text[end]))
            ++end;
        std::size_t next = end;
        if (next < text.size())
            next += text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n' ? 2 : 1;
        std::size_t first = pos;
        while (first < end && IsBlank(text[first]))
            ++first;
        if (first < end && text[first] == '[') {
            std::size_t close = first + 1;
            while (close < end && text[close] != ']') {
                const bool pair = IsLeadByte(static_cast<unsigned char>(text[close]))
                    && close + 1 < end && IsTrailByte(static_cast<unsigned char>(text[close + 1]));
                close += pair ? 2 : 1;
            }
            if (!sections.empty())
                sections.back().end = pos;
            sections.push_back({ pos, next, text.size(),
                std::string(TrimBlanks(text.substr(first + 1, close - first - 1))) });
        }
        pos = next;
    }
    return sections;
}

/// The first section named name (compared as the profile functions compare), or null.
inline const Section* FirstSection(const std::vector<Section>& sections, std::string_view name)
{
    const std::string wanted = Fold(TrimSpaces(name));
    for (const Section& section : sections) {
        if (Fold(section.name) == wanted)
            return &section;
    }
    return nullptr;
}

inline bool HasLineEnd(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

/// True when a section name, once written as a header, reads back as the same name: no line end
/// and no "]", no blank other than a space at either end, and no lone double-byte lead byte at the
/// end that would take the closing "]" as its second byte.
inline bool SectionNameRoundTrips(std::string_view name)
{
    name = TrimSpaces(name);
    if (HasLineEnd(name) || name.find(']') != std::string_view::npos)
        return false;
    if (!name.empty() && (IsBlank(name.front()) || IsBlank(name.back())))
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(name[i]))) {
            if (i + 1 == name.size())
                return false;
            if (IsTrailByte(static_cast<unsigned char>(name[i + 1])))
                ++i;
        }
    }
    return true;
}

/// True when a key name, once written as a key line, is found again by the same name: no line end
/// and no "=", no blank other than a space at either end, and not read as a comment or a header.
inline bool KeyNameRoundTrips(std::string_view name)
{
    name = TrimSpaces(name);
    if (HasLineEnd(name) || name.find('=') != std::string_view::npos)
        return false;
    if (!name.empty() && (IsBlank(name.front()) || IsBlank(name.back())))
        return false;
    return name.empty() || (name.front() != ';' && name.front() != '[');
}

} // namespace fuzz
