#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "colour/exception.h"
#include "settings/string_list.h"

class TIniBrel;

// The user colours in the settings file: the section "Usercolor" with the count key "Usercolcnt"
// and the entries 1..N, each six code bytes followed by the colour's name.

inline constexpr char UserColorSection[] = "Usercolor";
inline constexpr char UserColorCountKey[] = "Usercolcnt";

/// A stored count above this is taken as damaged: loading then reads only the numbered entries
/// that the section really holds (at most this many), and a register never stores more.
inline constexpr std::int32_t MaxUserColors = 100000;

/// What the load found: the value for the in-memory count and the entries in key order.
struct UserColorLoad
{
    /// The stored count; a negative count stays as read. For a damaged count, entries.size().
    std::int32_t count = 0;
    TStringList entries;
    /// True when the stored count was above MaxUserColors; storedCount then holds it.
    bool damaged = false;
    std::int32_t storedCount = 0;
    /// True when the code-page conversions cannot be set up (see CodePageError): the entries may
    /// then be missing (a UTF-16LE file reads as none), so the load is no true picture.
    bool unconverted = false;
};

/// Reads the count and entries 1..count (a missing key gives an empty entry), all from the file as
/// it was at the first read. Never writes, never waits for a writer and never throws; a damaged
/// count is reported in the result (see DamagedCountText).
UserColorLoad LoadUserColors(TIniBrel& ini);

/// The name part of an entry: bytes 7 to the end, empty for an entry of six bytes or fewer.
std::string_view UserColorName(std::string_view entry);

/// text up to its first line end ("\r" or "\n"): what of a typed name an entry can hold, since an
/// entry is one line of the file and a line end would start lines (keys, even sections) of its own.
std::string UpToLineEnd(const std::string& text);

/// Stores entry (up to its first line end) under the stored count (read anew) plus one and raises
/// the count. The file is read and changed under its write lock (ProfileLock), so a register in
/// another window at the same moment is never lost, and replaced in one step. On a refused write,
/// or when the lock cannot be had, it stays as it was and the write error for the settings file's
/// path is thrown. Returns the new count.
std::int32_t RegisterUserColor(TIniBrel& ini, const std::string& entry);

/// Stores entries (each up to its first line end) in their order after the stored ones, as
/// RegisterUserColor stores one, in one write under the same lock: every entry is stored, or none
/// is and the error is thrown (also when they would take the store beyond MaxUserColors). Nothing
/// is written for no entries. Returns the new count.
std::int32_t RegisterUserColors(TIniBrel& ini, const std::vector<std::string>& entries);

/// For each of entries, whether stored holds it already: the same code (in any case) and the same
/// name.
std::vector<bool> StoredAlready(const std::vector<std::string>& entries, const TStringList& stored);

/// What AppendUserColors did.
struct UserColorAppend
{
    std::int32_t count = 0; // the stored count afterwards
    std::int32_t added = 0;
    std::int32_t skipped = 0; // entries stored already, left out
    std::vector<bool> held; // for each entry, whether it was stored already
};

/// Stores those of entries that are not stored yet (see StoredAlready), as RegisterUserColors
/// does: in one write under the lock, the stored entries read under it. Throws PaletteError, with
/// nothing written, for a store whose count is negative (the colours would be stored where no
/// load finds them) and for one that cannot take them all (MaxUserColors); the write error as
/// RegisterUserColors.
UserColorAppend AppendUserColors(TIniBrel& ini, const std::vector<std::string>& entries);

/// Removes the stored entry that the user chose, entry at position index (from 0) of the list as
/// last loaded, and renumbers the rest from 1. Under the file's write lock the stored entries are
/// read anew and entry is looked for there: at index when it is still there, else the same entry
/// nearest to it, so changes that another window or an editor made since the list was loaded are
/// kept. When the file no longer holds entry, nothing is deleted. The new file holds this section
/// alone: the count, then the entries. It replaces the old file in one step; on a failure (or when
/// the lock cannot be had) the old file stays whole and the write error names the settings file's
/// path. Returns the section as read back afterwards.
UserColorLoad DeleteUserColor(TIniBrel& ini, std::int32_t index, const std::string& entry);

/// The list index error: "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています (%d)".
Exception ListIndexError(std::int32_t index);

/// The notice shown after a load that found a damaged count: what the file claimed, what was
/// loaded, and that nothing needs doing. A notice, not an error: the list is usable as loaded.
std::string DamagedCountText(const UserColorLoad& load);

/// Refuses a register that would take the user colours past MaxUserColors; the message says what
/// to do and ends as a Japanese sentence, so it is shown as written rather than in the exception
/// box.
class UserColorsFull : public Exception
{
public:
    UserColorsFull();
};
