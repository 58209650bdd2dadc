#include "platform/codepage.h"

#include <cerrno>
#include <iconv.h>

namespace {

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

// One conversion descriptor per direction and thread, opened on first use. glibc's "CP932" is
// the Windows flavour of Shift-JIS (0x5C stays "\", 0x7E stays "~").
class Converter
{
public:
    Converter(const char* to, const char* from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts input; at each sequence iconv refuses, onError(rest, bytes written so far) tells how
    // many bytes to skip and what to write instead. Incomplete input at the end is treated the same.
    template <typename OnError> std::string Run(std::string_view input, OnError onError)
    {
        std::string out;
        if (!Valid()) {
            return out;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[1024];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) {
                continue;
            }
            // EILSEQ or EINVAL: replace and go on past at least one byte, so it never loops.
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            const auto [skip, replacement] = onError(std::string_view(in, inLeft), out.size());
            out.append(replacement);
            in += skip;
            inLeft -= skip;
        }
        return out;
    }

private:
    iconv_t m_cd;
};

// Length of the well-formed UTF-8 sequence at the start of text, or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

struct Skip
{
    std::size_t bytes;
    std::string_view replacement;
};

} // namespace

std::string Cp932ToUtf8(std::string_view cp932)
{
    thread_local Converter converter("UTF-8", "CP932");
    // Skipping a single byte keeps an ASCII byte after a stray lead byte.
    return converter.Run(cp932, [](std::string_view, std::size_t) {
        return Skip { 1, ReplacementCharacter };
    });
}

std::string Utf8ToCp932(std::string_view utf8, std::size_t* lost)
{
    thread_local Converter converter("CP932", "UTF-8");
    std::size_t first = std::string::npos;
    std::string out = converter.Run(utf8, [&](std::string_view rest, std::size_t written) {
        if (first == std::string::npos) {
            first = written;
        }
        // A character CP932 lacks is skipped whole; a malformed byte alone.
        const std::size_t length = Utf8SequenceLength(rest);
        return Skip { length == 0 ? 1 : length, "?" };
    });
    if (lost) {
        *lost = first;
    }
    return out;
}

bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
