// The user colour store on arbitrary settings files. Loading takes the section in one pass; what it
// gives must equal reading every entry through the component, one key at a time. A registration
// then keeps every stored entry and adds the new one at the end, and a deletion removes exactly the
// chosen entry and keeps the others in their order; an entry no longer stored deletes nothing. A
// UTF-16LE file stays one, its entries changed only by the trip through UTF-16LE.

#include <cstdint>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "colour/exception.h"
#include "colour/integer_text.h"
#include "fuzz/fuzz_support.h"
#include "platform/codepage.h"
#include "settings/inibrel.h"
#include "settings/usercolor_store.h"

namespace {

using namespace fuzz;

// Above this stored count an input costs too much time per run to be worth checking.
constexpr std::int32_t Largest = 3000;

TStringList OneAtATime(TIniBrel& ini, std::int32_t count)
{
    TStringList entries;
    for (std::int32_t i = 1; i <= count; ++i)
        entries.push_back(ini.ReadFenced(UserColorSection, IntToStr(i), ""));
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const int action = provider.ConsumeIntegralInRange<int>(0, 2);
    const std::int32_t index = provider.ConsumeIntegralInRange<std::int32_t>(-1, 40);
    const std::string name = CText(provider.ConsumeRandomLengthString(40));
    const std::string before = provider.ConsumeRemainingBytesAsString();

    Show("name", name);
    Show("file", before);
    static const std::string path = PrivateDirectory() + "/Tintora.ini";
    WriteFile(path, before);
    TIniBrel ini(nullptr);
    ini.SetDefaultDir(ddNone);
    ini.SetFence(fnNone);
    ini.SetFileName(path);

    const UserColorLoad load = LoadUserColors(ini);
    FUZZ_CHECK(ReadFile(path) == before);
    if (load.storedCount > Largest && !load.damaged)
        return 0;
    if (load.storedCount <= 0) {
        FUZZ_CHECK(load.count == load.storedCount && load.entries.empty());
    } else {
        FUZZ_CHECK(load.count == static_cast<std::int32_t>(load.entries.size()));
        if (!load.damaged)
            FUZZ_CHECK(load.count == load.storedCount);
        FUZZ_CHECK(load.entries == OneAtATime(ini, load.count));
    }
    if (load.storedCount < 0 || load.storedCount > Largest)
        return 0;

    const bool utf16 = before.size() >= 2 && before[0] == '\xFF' && before[1] == '\xFE';
    // What a text becomes on its way into the file and back.
    const auto trip = [utf16](const std::string& text) {
        return utf16 ? Utf16LeToCp932(Cp932ToUtf16Le(text)) : text;
    };
    if (action == 1) {
        const std::string entry = "0A0B0C" + name;
        try {
            FUZZ_CHECK(RegisterUserColor(ini, entry) == load.count + 1);
        } catch (const Exception&) {
            // UTF-16LE text cannot continue after an odd byte.
            FUZZ_CHECK(utf16 && before.size() % 2 != 0 && ReadFile(path) == before);
            return 0;
        }
        FUZZ_CHECK(!utf16 || before.size() % 2 == 0);
        const UserColorLoad after = LoadUserColors(ini);
        const std::string written = ReadFile(path);
        Show("written", written);
        FUZZ_CHECK(utf16 == (written.size() >= 2 && written[0] == '\xFF' && written[1] == '\xFE'));
        FUZZ_CHECK(after.count == load.count + 1);
        std::vector<std::string> expected(load.entries.begin(), load.entries.end());
        expected.push_back(ReadBack(trip(entry)));
        if (HasLineEnd(entry))
            return 0;
        FUZZ_CHECK(after.entries == TStringList(expected.begin(), expected.end()));
    } else if (action == 2) {
        const bool listed = index >= 0 && index < load.count;
        // A line end never is part of a stored entry: that choice is gone from the file.
        const std::string chosen =
            listed ? std::string(load.entries[static_cast<std::size_t>(index)]) : "\n";
        const UserColorLoad after = DeleteUserColor(ini, index, chosen);
        std::vector<std::string> expected(load.entries.begin(), load.entries.end());
        if (!listed) {
            FUZZ_CHECK(ReadFile(path) == before);
            FUZZ_CHECK(after.entries == TStringList(expected.begin(), expected.end()));
            return 0;
        }
        expected.erase(expected.begin() + index);
        for (std::string& entry : expected)
            entry = trip(entry);
        FUZZ_CHECK(after.count == load.count - 1);
        FUZZ_CHECK(after.entries == TStringList(expected.begin(), expected.end()));
        FUZZ_CHECK(after.entries == LoadUserColors(ini).entries);
    }
    return 0;
}
