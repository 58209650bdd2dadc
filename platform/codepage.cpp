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

std::string Utf16LeToCp932(std::string_view utf16, std::vector<std::uint32_t>* offsets)
{
    std::string out;
    out.reserve(utf16.size() / 2);
    if (offsets) {
        offsets->clear();
        offsets->reserve(utf16.size() / 2 + 1);
    }
    const auto unit = [&](std::size_t i) {
        return static_cast<char16_t>(static_cast<unsigned char>(utf16[i])
            | static_cast<unsigned char>(utf16[i + 1]) << 8);
    };
    const std::size_t end = utf16.size() & ~std::size_t(1);
    std::string utf8;
    for (std::size_t i = 0; i < end;) {
        const std::size_t begin = i;
        const char32_t first = unit(i);
        i += 2;
        std::string converted;
        if (first < 0x80) {
            converted.assign(1, static_cast<char>(first));
        } else {
            char32_t code = first;
            bool valid = first < 0xD800 || first > 0xDFFF;
            if (first >= 0xD800 && first <= 0xDBFF && i < end) {
                const char32_t second = unit(i);
                if (second >= 0xDC00 && second <= 0xDFFF) {
                    code = 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
                    valid = true;
                    i += 2;
                }
            }
            if (!valid) {
                converted.assign(1, '?');
            } else {
                utf8.clear();
                if (code < 0x800) {
                    utf8 += static_cast<char>(0xC0 | code >> 6);
                } else if (code < 0x10000) {
                    utf8 += static_cast<char>(0xE0 | code >> 12);
                    utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
                } else {
                    utf8 += static_cast<char>(0xF0 | code >> 18);
                    utf8 += static_cast<char>(0x80 | (code >> 12 & 0x3F));
                    utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
                }
                utf8 += static_cast<char>(0x80 | (code & 0x3F));
                converted = Utf8ToCp932(utf8);
            }
        }
        out += converted;
        if (offsets) {
            offsets->insert(offsets->end(), converted.size(), static_cast<std::uint32_t>(begin));
        }
    }
    if (offsets) {
        offsets->push_back(static_cast<std::uint32_t>(end));
    }
    return out;
}

std::string Cp932ToUtf16Le(std::string_view cp932)
{
    const std::string utf8 = Cp932ToUtf8(cp932);
    std::string out;
    out.reserve(utf8.size() * 2);
    const auto put = [&](char32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    };
    // The UTF-8 comes from the converter, so every sequence in it is well formed.
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            put(0xD800 + (code >> 10));
            put(0xDC00 + (code & 0x3FF));
        } else {
            put(code);
        }
    }
    return out;
}

bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
