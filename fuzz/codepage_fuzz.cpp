// The CP932 conversions on arbitrary bytes, the road every name from a settings file takes to the
// screen: the UTF-8 made from any bytes is well formed, and converting it to CP932 and back gives
// the same text, except that a replaced byte (U+FFFD, which CP932 lacks) comes back as "?". The
// same bytes as a UTF-16LE file's text convert in one piece as they do character by character,
// with offsets that say where each CP932 character came from.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/codepage.h"

namespace {

bool WellFormedUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else if (lead >= 0x80) {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xBF))
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = Cp932ToUtf8(bytes);
    FUZZ_CHECK(WellFormedUtf8(utf8));

    std::string expected;
    for (std::size_t i = 0; i < utf8.size();) {
        if (utf8.compare(i, 3, "\xEF\xBF\xBD") == 0) {
            expected += '?';
            i += 3;
        } else {
            expected += utf8[i++];
        }
    }
    // A text that came from CP932 loses a character exactly where it held a replacement.
    std::size_t lost = 0;
    FUZZ_CHECK(Cp932ToUtf8(Utf8ToCp932(utf8, &lost)) == expected);
    FUZZ_CHECK((lost == std::string::npos) == (utf8.find("\xEF\xBF\xBD") == std::string::npos));

    // Arbitrary bytes taken as UTF-8: what comes out reads back without a replacement, and the
    // first loss is reported where a "?" stands.
    const std::string cp932 = Utf8ToCp932(bytes, &lost);
    FUZZ_CHECK(Cp932ToUtf8(cp932).find("\xEF\xBF\xBD") == std::string::npos);
    FUZZ_CHECK(lost == std::string::npos || (lost < cp932.size() && cp932[lost] == '?'));

    // Arbitrary bytes taken as UTF-16LE: the piece of the input that the offsets give each CP932
    // character converts alone to that character.
    std::vector<std::uint32_t> offsets;
    const std::string fromUtf16 = Utf16LeToCp932(bytes, &offsets);
    FUZZ_CHECK(Utf16LeToCp932(bytes) == fromUtf16);
    FUZZ_CHECK(offsets.size() == fromUtf16.size() + 1);
    FUZZ_CHECK(offsets.back() == (size & ~std::size_t(1)));
    FUZZ_CHECK(std::is_sorted(offsets.begin(), offsets.end()));
    for (std::size_t i = 0; i < fromUtf16.size();) {
        std::size_t next = i + 1;
        while (next < fromUtf16.size() && offsets[next] == offsets[i])
            ++next;
        FUZZ_CHECK(next - i <= 2);
        FUZZ_CHECK(Utf16LeToCp932(bytes.substr(offsets[i], offsets[next] - offsets[i]))
            == fromUtf16.substr(i, next - i));
        i = next;
    }
    // CP932 by way of UTF-16LE reads as by way of UTF-8.
    FUZZ_CHECK(Utf16LeToCp932(Cp932ToUtf16Le(bytes)) == Utf8ToCp932(utf8));
    return 0;
}
