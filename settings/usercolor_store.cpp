#include "settings/usercolor_store.h"

#include <cctype>
#include <functional>
#include <optional>
#include <unordered_set>

#include "colour/integer_text.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "settings/inibrel.h"
#include "settings/palette_error.h"
#include "settings/profile_file.h"

namespace {

/// A read default that no stored value can equal, since a value never holds a line break: a
/// read that gives it back found no such key.
const std::string Missing = "\n";

/// The highest numbered entry key from 1 to limit that the section holds, 0 when none.
std::int32_t HighestEntryKey(TIniBrel& ini, std::int32_t limit)
{
    for (std::int32_t i = limit; i >= 1; --i) {
        if (ini.ReadPlain(UserColorSection, IntToStr(i), Missing) != Missing) {
            return i;
        }
    }
    return 0;
}

/// The number of entries a stored count stands for: the count itself up to MaxUserColors; above
/// it the highest numbered entry the section really holds.
std::int32_t UsableCount(TIniBrel& ini, std::int32_t stored)
{
    return stored <= MaxUserColors ? stored : HighestEntryKey(ini, MaxUserColors);
}

/// The text to store so that a profile read gives back exactly value: between double quotes when
/// the read would otherwise take blanks or a pair of like quotes off it (a hand-edited entry).
std::string StoredText(const std::string& value)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v'; };
    const bool quoted = value.size() >= 2 && value.front() == value.back()
        && (value.front() == '"' || value.front() == '\'');
    const bool changes = !value.empty() && (blank(value.front()) || blank(value.back()) || quoted);
    return changes ? '"' + value + '"' : value;
}

/// The file that writing the count and then keys 1..N into no file at all leaves behind, holding
/// entries without the one at position left out, each stored so that it reads back as it was
/// read. Built directly, since one profile write per key would rewrite the whole file each time.
std::string FreshSectionBytes(const TIniBrel& ini, const TStringList& entries, std::size_t leftOut)
{
    std::string bytes;
    bytes.append("[").append(UserColorSection).append("]\r\n");
    bytes.append(UserColorCountKey).append("=");
    bytes.append(IntToStr(static_cast<std::int32_t>(entries.size() - 1))).append("\r\n");
    std::int32_t key = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i == leftOut) {
            continue;
        }
        bytes.append(IntToStr(++key)).append("=");
        bytes.append(StoredText(ini.FenceText(std::string(entries[i])))).append("\r\n");
    }
    return bytes;
}

} // namespace

UserColorLoad LoadUserColors(TIniBrel& ini)
{
    // One look at the file serves every key, which also makes the entries one consistent state.
    const ProfileSnapshot snapshot(ini.Path().c_str());
    UserColorLoad load;
    load.unconverted = !CodePageConversionsWork();
    load.storedCount = ini.ReadInt(UserColorSection, UserColorCountKey, 0);
    load.count = load.storedCount;
    if (load.storedCount > MaxUserColors) {
        load.damaged = true;
        load.count = UsableCount(ini, load.storedCount);
    }
    // Each entry is the fenced read of its key, all from the one look.
    if (load.count > 0) {
        load.entries = ini.ReadFencedNumbered(UserColorSection, load.count, "");
    }
    return load;
}

std::string_view UserColorName(std::string_view entry)
{
    return entry.size() > 6 ? entry.substr(6) : std::string_view();
}

namespace {

/// An entry as StoredAlready compares it: its code in upper case, its name as it stands.
std::string ComparedForm(std::string_view entry)
{
    std::string form(entry);
    for (std::size_t i = 0; i < form.size() && i < 6; ++i) {
        form[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(form[i])));
    }
    return form;
}

} // namespace

std::vector<bool> StoredAlready(const std::vector<std::string>& entries, const TStringList& stored)
{
    std::unordered_set<std::string> held;
    held.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        held.insert(ComparedForm(stored[i]));
    }
    std::vector<bool> found(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        found[i] = held.count(ComparedForm(UpToLineEnd(entries[i]))) != 0;
    }
    return found;
}

namespace {

/// The entries a register stores, chosen under its lock from the stored count.
using ChooseEntries = std::function<const std::vector<std::string>&(std::int32_t count)>;

std::int32_t RegisterChosen(TIniBrel& ini, const ChooseEntries& choose)
{
    // Held from reading the count to the rename of the new file, so that two windows registering
    // at once store both colours under different keys. The folder is made first, so that there
    // is one to lock.
    ini.PrepareWrite();
    const ProfileLock lock(ini.Path().c_str());
    if (!lock) {
        throw WriteError(ini.Path());
    }
    std::int32_t count = 0;
    {
        // One look at the file serves the count and, for a damaged one, the search for the
        // highest entry, which may read up to MaxUserColors keys.
        const ProfileSnapshot snapshot(ini.Path().c_str());
        count = UsableCount(ini, ini.ReadInt(UserColorSection, UserColorCountKey, 0));
    }
    const std::vector<std::string>& entries = choose(count);
    if (static_cast<std::int64_t>(count) + static_cast<std::int64_t>(entries.size())
        > MaxUserColors) {
        throw UserColorsFull();
    }
    // The count and the entries are written in the usual order but land together, so a refused
    // write never leaves a count that includes an entry that is not there.
    const std::int32_t newCount = count + static_cast<std::int32_t>(entries.size());
    if (entries.empty()) {
        return count;
    }
    ini.WriteTogether([&] {
        ini.WriteInt(UserColorSection, UserColorCountKey, newCount);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            // A line end in a pasted name could hide the count and every colour, so the name
            // ends there.
            ini.WriteFenced(UserColorSection, IntToStr(count + 1 + static_cast<std::int32_t>(i)),
                UpToLineEnd(entries[i]));
        }
    });
    return newCount;
}

} // namespace

std::int32_t RegisterUserColors(TIniBrel& ini, const std::vector<std::string>& entries)
{
    return RegisterChosen(
        ini, [&entries](std::int32_t) -> const auto& { return entries; });
}

UserColorAppend AppendUserColors(TIniBrel& ini, const std::vector<std::string>& entries)
{
    UserColorAppend result;
    std::vector<std::string> fresh;
    result.count = RegisterChosen(
        ini, [&](std::int32_t count) -> const auto& {
            if (count < 0) {
                throw PaletteError(0,
                    Utf8Literal(u8"設定ファイルの色の数（Usercolcnt=") + std::to_string(count)
                        + Utf8Literal(
                            u8"）が正しくないため、パレットを読み込めません。Tintora を終了し、"
                            u8"設定ファイルの Usercolcnt を実際の色の数に直してから、"
                            u8"もう一度読み込んでください"));
            }
            // The stored entries as they are under the lock, so that two imports of one palette at
            // once store it once.
            result.held = StoredAlready(entries, LoadUserColors(ini).entries);
            fresh.reserve(entries.size());
            for (std::size_t i = 0; i < entries.size(); ++i) {
                if (!result.held[i]) {
                    fresh.push_back(entries[i]);
                }
            }
            result.skipped = static_cast<std::int32_t>(entries.size() - fresh.size());
            result.added = static_cast<std::int32_t>(fresh.size());
            if (static_cast<std::int64_t>(count) + result.added > MaxUserColors) {
                throw PaletteError(0,
                    Utf8Literal(u8"ユーザカラーは10万色までしか登録できません（登録済み：")
                        + NumberText(count) + Utf8Literal(u8"色、読み込もうとした色：")
                        + NumberText(fresh.size())
                        + Utf8Literal(
                            u8"色）。使わない色を削除してから、もう一度読み込んでください"));
            }
            return fresh;
        });
    return result;
}

std::int32_t RegisterUserColor(TIniBrel& ini, const std::string& entry)
{
    return RegisterUserColors(ini, { entry });
}

std::string UpToLineEnd(const std::string& text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

UserColorLoad DeleteUserColor(TIniBrel& ini, std::int32_t index, const std::string& entry)
{
    // The folder first, so that there is one to lock.
    ini.PrepareWrite();
    const ProfileLock lock(ini.Path().c_str());
    if (!lock) {
        throw WriteError(ini.Path());
    }
    UserColorLoad stored = LoadUserColors(ini);
    const TStringList& entries = stored.entries;
    // The chosen entry where the list showed it, else the same entry nearest to that place (the
    // entries before it may have changed); the first of two equally near.
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] != entry) {
            continue;
        }
        const auto distance = [index](std::size_t at) {
            const auto from = static_cast<std::int64_t>(index);
            const auto to = static_cast<std::int64_t>(at);
            return from > to ? from - to : to - from;
        };
        if (!found || distance(i) < distance(*found)) {
            found = i;
        }
    }
    if (!found) {
        return stored;
    }
    // The new file holds this section alone and replaces the old one in one step, so a failure
    // leaves every stored colour in place.
    if (WritePrivateProfileTextA(FreshSectionBytes(ini, entries, *found), ini.Path().c_str())
        == 0) {
        throw WriteError(ini.Path());
    }
    return LoadUserColors(ini);
}

Exception ListIndexError(std::int32_t index)
{
    static const std::string text = Sjis(u8"ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています (");
    return Exception(text + IntToStr(index) + ")");
}

std::string DamagedCountText(const UserColorLoad& load)
{
    return Sjis(u8"設定ファイルの色の数（Usercolcnt=") + IntToStr(load.storedCount)
        + Sjis(u8"）が多すぎるため、実際に保存されている") + IntToStr(load.count)
        + Sjis(u8"色を読み込みました。このまま使えます。");
}

static_assert(MaxUserColors == 100000, "the message below names the limit in words");

UserColorsFull::UserColorsFull()
    : Exception(Sjis(
        u8"ユーザカラーは10万色までしか登録できません。使わない色を削除してから登録してください。"))
{
}
