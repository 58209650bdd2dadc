// The profile functions on arbitrary file bytes with arbitrary section, key and value texts and
// buffer sizes. A read returns what a plain line-by-line model of the file (of its CP932 rendering,
// for a UTF-16LE file) finds. A write succeeds (only a UTF-16LE file with an odd last byte is
// refused), changes nothing outside the body of the first section of that name (or appends the new
// section whole), keeps a UTF-16LE file UTF-16LE with every byte outside that body, and, for names
// and values that can survive the trip, is read back as the read rules allow and is not repeated
// by writing the same value again.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_support.h"
#include "platform/codepage.h"
#include "platform/profile.h"

namespace {

using namespace fuzz;

bool IsUtf16(std::string_view text)
{
    return text.size() >= 2 && text[0] == '\xFF' && text[1] == '\xFE';
}

// The text the profile functions see in a file: a UTF-16LE file's CP932 rendering, with the
// position in the file of each of its bytes.
std::string TextOf(std::string_view file, std::vector<std::uint32_t>* offsets = nullptr)
{
    return IsUtf16(file) ? Utf16LeToCp932(file.substr(2), offsets) : std::string(file);
}

// The value of the first key line named key in the first section named section.
std::optional<std::string> ModelFind(std::string_view text, std::string_view section,
                                     std::string_view key)
{
    const auto sections = Sections(text);
    const Section* found = FirstSection(sections, section);
    if (!found)
        return std::nullopt;
    const std::string wanted = Fold(TrimSpaces(key));
    const std::string_view body = text.substr(found->body, found->end - found->body);
    for (std::size_t pos = 0; pos < body.size();) {
        std::size_t end = body.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = body.size();
        const std::string_view line = TrimBlanks(body.substr(pos, end - pos));
        pos = end + (body.substr(end, 2) == "\r\n" ? 2 : 1);
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == ';' || equals == std::string_view::npos)
            continue;
        if (Fold(TrimBlanks(line.substr(0, equals))) == wanted)
            return std::string(line.substr(equals + 1));
    }
    return std::nullopt;
}

std::string Read(const std::string& path, const std::string& section, const std::string& key,
                 const std::string& def, std::uint32_t size)
{
    std::string buffer(size + 1, '\x5A');
    const DWORD copied = GetPrivateProfileStringA(
        section.c_str(), key.c_str(), def.c_str(), buffer.data(), size, path.c_str());
    if (size == 0) {
        FUZZ_CHECK(copied == 0 && buffer == std::string(1, '\x5A'));
        return {};
    }
    FUZZ_CHECK(copied < size && buffer[copied] == '\0');
    return buffer.substr(0, copied);
}

std::string ExpectedRead(std::string_view text, const std::string& section, const std::string& key,
                         const std::string& def, std::uint32_t size)
{
    if (size == 0)
        return {};
    if (const auto value = ModelFind(TextOf(text), CText(section), CText(key)))
        return ReadBack(*value, size);
    std::string fallback = CText(def);
    while (!fallback.empty() && fallback.back() == ' ')
        fallback.pop_back();
    return fallback.substr(0, size - 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const std::string section = provider.ConsumeRandomLengthString(48);
    const std::string key = provider.ConsumeRandomLengthString(48);
    const std::string value = provider.ConsumeRandomLengthString(1200);
    const std::string def = provider.ConsumeRandomLengthString(32);
    const std::uint32_t bufferSize = provider.ConsumeIntegralInRange<std::uint32_t>(0, 1100);
    const std::string before = provider.ConsumeRemainingBytesAsString();

    Show("section", section);
    Show("key", key);
    Show("value", value);
    Show("file", before);
    static const std::string path = PrivateDirectory() + "/profile.ini";
    WriteFile(path, before);

    FUZZ_CHECK(Read(path, section, key, def, bufferSize)
        == ExpectedRead(before, section, key, def, bufferSize));

    const BOOL written
        = WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str());
    const std::string after = ReadFile(path);
    Show("written", after);
    const bool utf16 = IsUtf16(before);
    FUZZ_CHECK((written != 0) == !(utf16 && before.size() % 2 != 0));
    if (!written) {
        FUZZ_CHECK(after == before);
        return 0;
    }
    FUZZ_CHECK(IsUtf16(after) == utf16);

    const std::string s = CText(section), k = CText(key), v = CText(value);
    std::vector<std::uint32_t> offsets;
    const std::string text = TextOf(before, &offsets), textAfter = TextOf(after);
    // What the section's body leaves outside it keeps its bytes, in the file as in its text.
    const auto keeps = [&](std::size_t body, std::size_t end) {
        const std::size_t tail = text.size() - end;
        FUZZ_CHECK(textAfter.size() >= body + tail);
        FUZZ_CHECK(textAfter.compare(0, body, text, 0, body) == 0);
        FUZZ_CHECK(textAfter.compare(textAfter.size() - tail, tail, text, end, tail) == 0);
        if (utf16) {
            const std::size_t from = 2 + offsets[body], to = 2 + offsets[end];
            FUZZ_CHECK(after.size() >= from + (before.size() - to));
            FUZZ_CHECK(after.compare(0, from, before, 0, from) == 0);
            FUZZ_CHECK(after.compare(after.size() - (before.size() - to), before.size() - to,
                           before, to, before.size() - to)
                == 0);
        }
    };
    const auto sections = Sections(text);
    if (const Section* target = FirstSection(sections, s)) {
        keeps(target->body, target->end);
    } else {
        std::string appended = text;
        // A UTF-16LE file holding only its mark counts as a first line without a line end.
        if (text.empty() ? utf16 : !IsLineEnd(text.back()))
            appended += "\r\n";
        appended.append("[").append(TrimSpaces(s)).append("]\r\n");
        appended.append(TrimSpaces(k)).append("=").append(v).append("\r\n");
        keeps(text.size(), text.size());
        if (!utf16)
            FUZZ_CHECK(textAfter == appended);
        else
            FUZZ_CHECK(textAfter == text + Utf16LeToCp932(Cp932ToUtf16Le(appended.substr(text.size()))));
    }

    FUZZ_CHECK(Read(path, section, key, def, bufferSize)
        == ExpectedRead(after, section, key, def, bufferSize));
    const auto survives = [utf16](const std::string& t) {
        return !utf16 || Utf16LeToCp932(Cp932ToUtf16Le(t)) == t;
    };
    if (SectionNameRoundTrips(s) && KeyNameRoundTrips(k) && !HasLineEnd(v) && survives(s)
        && survives(k) && survives(v)) {
        FUZZ_CHECK(Read(path, section, key, def, bufferSize) == ReadBack(v, bufferSize));
        FUZZ_CHECK(WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                       path.c_str())
            != 0);
        FUZZ_CHECK(ReadFile(path) == after);
    }
    return 0;
}
