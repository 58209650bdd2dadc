// The profile functions on arbitrary file bytes with arbitrary section, key and value texts and
// buffer sizes. A read returns what a plain line-by-line model of the file finds. A write succeeds
// (only a UTF-16 file is refused), changes nothing outside the body of the first section of that
// name (or appends the new section whole), and, for names and values that can survive the trip,
// is read back as the read rules allow and is not repeated by writing the same value again.

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_support.h"
#include "platform/profile.h"

namespace {

using namespace fuzz;

bool IsUtf16(std::string_view text)
{
    return text.size() >= 2 && text[0] == '\xFF' && text[1] == '\xFE';
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
    if (!IsUtf16(text)) {
        if (const auto value = ModelFind(text, CText(section), CText(key)))
            return ReadBack(*value, size);
    }
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
    FUZZ_CHECK((written != 0) == !IsUtf16(before));
    if (!written) {
        FUZZ_CHECK(after == before);
        return 0;
    }

    const std::string s = CText(section), k = CText(key), v = CText(value);
    const auto sections = Sections(before);
    if (const Section* target = FirstSection(sections, s)) {
        const std::size_t tail = before.size() - target->end;
        FUZZ_CHECK(after.size() >= target->body + tail);
        FUZZ_CHECK(after.compare(0, target->body, before, 0, target->body) == 0);
        FUZZ_CHECK(after.compare(after.size() - tail, tail, before, target->end, tail) == 0);
    } else {
        std::string appended = before;
        if (!before.empty() && !IsLineEnd(before.back()))
            appended += "\r\n";
        appended.append("[").append(TrimSpaces(s)).append("]\r\n");
        appended.append(TrimSpaces(k)).append("=").append(v).append("\r\n");
        FUZZ_CHECK(after == appended);
    }

    FUZZ_CHECK(Read(path, section, key, def, bufferSize)
        == ExpectedRead(after, section, key, def, bufferSize));
    if (SectionNameRoundTrips(s) && KeyNameRoundTrips(k) && !HasLineEnd(v)) {
        FUZZ_CHECK(Read(path, section, key, def, bufferSize) == ReadBack(v, bufferSize));
        FUZZ_CHECK(WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                       path.c_str())
            != 0);
        FUZZ_CHECK(ReadFile(path) == after);
    }
    return 0;
}
