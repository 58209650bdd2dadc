// The fenced INI component in every fence mode on arbitrary file bytes: a fenced write followed by
// a fenced read of the same key gives back the value as the fence and the read rules allow, a
// missing key gives back the default, and integers make the trip unchanged. Only a UTF-16LE file
// with an odd last byte refuses the write, with the write error naming the path, and is left as
// it was.

#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "colour/exception.h"
#include "fuzz/fuzz_support.h"
#include "platform/codepage.h"
#include "settings/inibrel.h"

namespace {

using namespace fuzz;

std::string Fence(TIniBrelFence fence, const std::string& text)
{
    switch (fence) {
    case fnDoubleQuote:
        return '"' + text + '"';
    case fnParenthesis:
    case fnVer11Mode:
        return '\xA2' + text + '\xA3';
    case fnNone:
        break;
    }
    return text;
}

// One fence pair taken off what the profile read returned, as the mode allows.
std::string Unfence(TIniBrelFence fence, std::string text)
{
    if (text.size() < 2)
        return text;
    const bool quotes = text.front() == '"' && text.back() == '"'
        && (fence == fnDoubleQuote || fence == fnVer11Mode);
    const bool brackets = text.front() == '\xA2' && text.back() == '\xA3'
        && (fence == fnParenthesis || fence == fnVer11Mode);
    return quotes || brackets ? text.substr(1, text.size() - 2) : text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const auto fence = static_cast<TIniBrelFence>(provider.ConsumeIntegralInRange<int>(0, 3));
    const std::string section = CText(provider.ConsumeRandomLengthString(32));
    const std::string key = CText(provider.ConsumeRandomLengthString(32));
    const std::string value = CText(provider.ConsumeRandomLengthString(1100));
    const std::string def = CText(provider.ConsumeRandomLengthString(1100));
    const auto number = provider.ConsumeIntegral<std::int32_t>();
    const std::string before = provider.ConsumeRemainingBytesAsString();

    Show("section", section);
    Show("key", key);
    Show("value", value);
    Show("default", def);
    Show("file", before);
    static const std::string path = PrivateDirectory() + "/inibrel.ini";
    WriteFile(path, before);
    TIniBrel ini(nullptr);
    ini.SetDefaultDir(ddNone);
    ini.SetFileName(path);
    ini.SetFence(fence);
    FUZZ_CHECK(ini.Path() == path);

    // No header can be named by a line end, so this section is missing from every file.
    const std::string missing = "\n";
    std::string fencedDefault = Fence(fence, def);
    while (!fencedDefault.empty() && fencedDefault.back() == ' ')
        fencedDefault.pop_back();
    FUZZ_CHECK(ini.ReadFenced(missing, key, def) == Unfence(fence, fencedDefault.substr(0, 1023)));
    FUZZ_CHECK(ini.ReadInt(missing, key, number) == number);

    // A UTF-16LE file is written in UTF-16LE, unless an odd last byte leaves no room for it.
    const bool utf16 = before.size() >= 2 && before[0] == '\xFF' && before[1] == '\xFE';
    const bool refused = utf16 && before.size() % 2 != 0;
    try {
        ini.WriteFenced(section, key, value);
        FUZZ_CHECK(!refused);
    } catch (const Exception& error) {
        FUZZ_CHECK(refused);
        FUZZ_CHECK(error.Message().compare(0, path.size() + 1, path + " ") == 0);
        FUZZ_CHECK(ReadFile(path) == before);
        return 0;
    }

    const auto survives = [utf16](const std::string& t) {
        return !utf16 || Utf16LeToCp932(Cp932ToUtf16Le(t)) == t;
    };
    if (!SectionNameRoundTrips(section) || !KeyNameRoundTrips(key) || HasLineEnd(value)
        || !survives(section) || !survives(key) || !survives(Fence(fence, value)))
        return 0;
    const std::string stored = Fence(fence, value);
    const std::string read = ini.ReadFenced(section, key, def);
    FUZZ_CHECK(read == Unfence(fence, ReadBack(stored)));
    if (stored.size() <= 1023 && (fence == fnParenthesis || fence == fnVer11Mode))
        FUZZ_CHECK(read == value);

    // Integers as their decimal texts, under a key of their own in the same section; the text
    // -2147483648 is outside the syntax, so that one value does not come back.
    const std::string numberKey = key + "#";
    if (KeyNameRoundTrips(numberKey) && number != INT32_MIN) {
        ini.WriteInt(section, numberKey, number);
        FUZZ_CHECK(ini.ReadInt(section, numberKey, number ^ 1) == number);
        FUZZ_CHECK(ini.ReadFenced(section, key, def) == read);
    }
    return 0;
}
