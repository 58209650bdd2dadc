#include "platform/codepage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

#include "platform/codepage_p.h"

namespace {

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD"; // U+FFFD in UTF-8
constexpr std::string_view ReplacementUtf16Le = "\xFD\xFF"; // U+FFFD in UTF-16LE

struct Skip
{
    std::size_t bytes;
    std::string_view replacement;
};

// One conversion descriptor per direction and thread, opened on first use. glibc's "CP932" is
// the Windows flavour of Shift-JIS (0x5C stays "\", 0x7E stays "~"); "UTF-16LE" neither reads
// nor writes a byte-order mark.
class Converter
{
public:
    // asciiAlike: both sides write ASCII characters as the same bytes (CP932 and UTF-8).
    Converter(const char* to, const char* from, bool asciiAlike)
        : m_cd(IconvOpenForConversions()(to, from))
        , m_asciiAlike(asciiAlike)
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

    bool Works() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input in one iconv call into a result of room bytes (grown should that
    // not suffice). Only at a sequence iconv refuses, and at incomplete input at the end, does it
    // stop: onError(rest, bytes written so far) tells how many bytes to skip and what to write
    // instead, and the conversion goes on from there.
    template <typename OnError>
    std::string Run(std::string_view input, std::size_t room, OnError onError)
    {
        std::string out;
        if (!Works()) {
            // Without a descriptor only ASCII text between CP932 and UTF-8 survives, so that an
            // error saying the conversion is missing can still be read.
            const bool ascii = std::all_of(input.begin(), input.end(),
                [](char c) { return static_cast<unsigned char>(c) < 0x80; });
            if (m_asciiAlike && ascii) {
                out = input;
            }
            return out;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.resize(std::max<std::size_t>(room, 16));
        std::size_t written = 0;
        const auto ensure = [&](std::size_t more) {
            if (out.size() - written < more) {
                out.resize(std::max(out.size() * 2, written + more));
            }
        };
        // After a refused sequence iconv is given a short stretch, doubled at each one converted
        // whole: glibc works a multi-step conversion ahead in blocks of some kilobytes and at a
        // refusal converts the block again up to it, so a text with many characters the code page
        // lacks would otherwise cost a block per character.
        constexpr std::size_t shortStretch = 64;
        std::size_t stretch = input.size();
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            char* outPtr = out.data() + written;
            std::size_t outLeft = out.size() - written;
            const std::size_t taken = std::min(inLeft, stretch);
            std::size_t takenLeft = taken;
            const std::size_t rc = iconv(m_cd, &in, &takenLeft, &outPtr, &outLeft);
            inLeft -= taken - takenLeft;
            written = static_cast<std::size_t>(outPtr - out.data());
            if (rc != static_cast<std::size_t>(-1)) {
                stretch = std::min(stretch * 2, input.size());
                continue;
            }
            if (errno == E2BIG) {
                ensure(out.size());
                continue;
            }
            if (errno == EINVAL && takenLeft < inLeft) {
                // A character cut at the end of the stretch, not of the text.
                stretch = std::min(stretch * 2, input.size());
                continue;
            }
            // EILSEQ or EINVAL: replace and go on past at least one byte, so it never loops.
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            const auto [skip, replacement] = onError(std::string_view(in, inLeft), written);
            ensure(replacement.size());
            std::memcpy(out.data() + written, replacement.data(), replacement.size());
            written += replacement.size();
            in += skip;
            inLeft -= skip;
            stretch = shortStretch;
        }
        out.resize(written);
        return out;
    }

private:
    iconv_t m_cd;
    bool m_asciiAlike;
};

Converter& Cp932ToUtf8Converter()
{
    thread_local Converter converter("UTF-8", "CP932", true);
    return converter;
}

Converter& Utf8ToCp932Converter()
{
    thread_local Converter converter("CP932", "UTF-8", true);
    return converter;
}

Converter& Utf16LeToCp932Converter()
{
    thread_local Converter converter("CP932", "UTF-16LE", false);
    return converter;
}

Converter& Cp932ToUtf16LeConverter()
{
    thread_local Converter converter("UTF-16LE", "CP932", false);
    return converter;
}

// The UTF-16LE character at the start of text (an even number of bytes, at least 2): a surrogate
// pair takes 4 bytes, any other unit 2, an unpaired surrogate included (as its own code).
struct Utf16Character
{
    std::size_t bytes;
    char32_t code;
};

Utf16Character FirstUtf16Character(std::string_view text)
{
    const auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(
            static_cast<unsigned char>(text[i]) | static_cast<unsigned char>(text[i + 1]) << 8);
    };
    const char32_t first = unit(0);
    if (first >= 0xD800 && first <= 0xDBFF && text.size() >= 4) {
        const char32_t second = unit(2);
        if (second >= 0xDC00 && second <= 0xDFFF) {
            return { 4, 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00) };
        }
    }
    return { 2, first };
}

// glibc's converters leave out the tag characters (U+E0000-U+E007F) on their way into a code
// page that lacks them, without an error: they become no byte at all.
bool IsLeftOut(char32_t code)
{
    return code >> 7 == 0xE0000 >> 7;
}

} // namespace

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

char32_t Utf8CodePoint(std::string_view text, std::size_t& length)
{
    length = text.empty() ? 0 : Utf8SequenceLength(text);
    if (length == 0) {
        length = text.empty() ? 0 : 1;
        return U'\uFFFD';
    }
    const auto lead = static_cast<unsigned char>(text[0]);
    char32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    }
    return code;
}

std::string Cp932ToUtf8(std::string_view cp932)
{
    Converter& converter = Cp932ToUtf8Converter();
    // Skipping a single byte keeps an ASCII byte after a stray lead byte.
    return converter.Run(cp932, cp932.size() + cp932.size() / 2, [](std::string_view, std::size_t) {
        return Skip { 1, ReplacementCharacter };
    });
}

std::string Utf8ToCp932(std::string_view utf8, std::size_t* lost)
{
    Converter& converter = Utf8ToCp932Converter();
    std::size_t first = std::string::npos;
    // No character takes more bytes in CP932 than in UTF-8, and a replaced one takes one.
    std::string out =
        converter.Run(utf8, utf8.size(), [&](std::string_view rest, std::size_t written) {
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
    Converter& converter = Utf16LeToCp932Converter();
    const std::size_t end = utf16.size() & ~std::size_t(1);
    // iconv refuses an unpaired surrogate (a high one at the end as incomplete input) and a
    // character CP932 lacks; either becomes one "?", a pair counting as one character. No
    // character takes more bytes in CP932 than in UTF-16.
    std::string out =
        converter.Run(utf16.substr(0, end), end, [](std::string_view rest, std::size_t) {
            return Skip { FirstUtf16Character(rest).bytes, "?" };
        });
    if (offsets) {
        // Each UTF-16 character became one CP932 character (a lead byte and its second byte, or
        // a single byte), or none when iconv leaves it out, so the two texts are walked side by
        // side.
        offsets->clear();
        offsets->reserve(out.size() + 1);
        std::size_t i = 0;
        for (std::size_t from = 0; from < end;) {
            const Utf16Character character = FirstUtf16Character(utf16.substr(from, end - from));
            if (!IsLeftOut(character.code) && i < out.size()) {
                const std::size_t bytes =
                    IsCp932LeadByte(static_cast<unsigned char>(out[i])) && i + 1 < out.size() ? 2
                                                                                              : 1;
                offsets->insert(offsets->end(), bytes, static_cast<std::uint32_t>(from));
                i += bytes;
            }
            from += character.bytes;
        }
        offsets->push_back(static_cast<std::uint32_t>(end));
    }
    return out;
}

std::string Cp932ToUtf16Le(std::string_view cp932)
{
    Converter& converter = Cp932ToUtf16LeConverter();
    // As Cp932ToUtf8: an invalid byte becomes U+FFFD and the conversion goes on after it.
    return converter.Run(cp932, cp932.size() * 2, [](std::string_view, std::size_t) {
        return Skip { 1, ReplacementUtf16Le };
    });
}

bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool CodePageConversionsWork()
{
    return Cp932ToUtf8Converter().Works() && Utf8ToCp932Converter().Works()
        && Utf16LeToCp932Converter().Works() && Cp932ToUtf16LeConverter().Works();
}

IconvOpenFunction& IconvOpenForConversions()
{
    static IconvOpenFunction open = ::iconv_open;
    return open;
}

std::string ShownText(std::string_view cp932, std::size_t maxCharacters, std::string_view ellipsis)
{
    std::string shown;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < cp932.size(); ++characters) {
        if (characters == maxCharacters) {
            shown += ellipsis;
            break;
        }
        const auto byte = static_cast<unsigned char>(cp932[i]);
        if (IsCp932LeadByte(byte) && i + 1 < cp932.size()) {
            shown.append(cp932, i, 2);
            i += 2;
            continue;
        }
        const bool printable = (byte >= 0x20 && byte < 0x7F) || (byte >= 0xA1 && byte <= 0xDF);
        shown += printable ? static_cast<char>(byte) : '?';
        ++i;
    }
    return shown;
}
