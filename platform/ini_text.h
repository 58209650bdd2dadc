#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

// The text of one settings file, parsed once in a single pass for lookups and edits.
//
// A line ends at CR LF, LF or CR; blanks (space, tab, vertical tab) at either end of a line do not
// count. A line whose first non-blank byte is "[" opens a section named by the text up to the
// first "]" (or the line's end); ";" starts a comment line; any other line holding "=" is a key
// line. Lines before the first header belong to no section. Names match without regard to ASCII
// case; a CP932 double-byte character is compared as it stands. Of repeated sections and keys the
// first one counts.
class IniText
{
public:
    explicit IniText(std::string text);
    IniText(const IniText&) = delete;
    IniText& operator=(const IniText&) = delete;

    const std::string& Text() const { return text_; }

    /// The value of key in section, without the blanks around it and without one pair of matching
    /// outer quotes; nullopt when the section or the key is missing. Names lose their spaces first.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    /// The values of the keys named 1 to count (in decimal) of section, as Find would give
    /// them, handed to each in that order, in one walk through the section for as long as its
    /// numbered keys stand in file order (which is how they are written). Returns how many were
    /// handed: the keys after those are left for Find.
    template <typename Each>
    std::int32_t FindNumbered(std::string_view section, std::int32_t count, Each&& each) const
    {
        const Section* found = FindSection(section);
        if (!found) {
            for (std::int32_t i = 1; i <= count; ++i)
                each(std::optional<std::string_view>());
            return std::max<std::int32_t>(count, 0);
        }
        return WalkNumbered(
            *found, count, &each, [](const void* context, std::optional<std::string_view> value) {
                (*static_cast<const std::remove_reference_t<Each>*>(context))(value);
            });
    }

    /// The file text with key in section set to value (created after the section's last key line,
    /// or with a new section at the end); every other byte is kept. nullopt when the key already
    /// holds exactly that value, so nothing needs writing.
    std::optional<std::string> WithValue(
        std::string_view section, std::string_view key, std::string_view value) const;

    /// One key to set with WithValues.
    struct KeyValue
    {
        std::string_view section;
        std::string_view key;
        std::string_view value;
    };
    /// The file text with each write's key set in turn, exactly as WithValue applied write after
    /// write would leave it, but in one pass for the usual batches (keys written once each, into
    /// sections that are there and at most one new one), so that thousands of writes cost about
    /// one. nullopt when every key already holds its value.
    std::optional<std::string> WithValues(const std::vector<KeyValue>& writes) const;

    /// The change WithValue makes: the bytes [begin, end) of the text give way to inserted.
    /// Both ends lie at a line boundary or just after an ASCII byte, never inside a character.
    struct Splice
    {
        std::size_t begin;
        std::size_t end;
        std::string inserted;
        // Whole new lines inserted after a line, rather than a value written into its line.
        bool newLines = false;
    };
    std::optional<Splice> EditFor(
        std::string_view section, std::string_view key, std::string_view value) const;

    /// The changes WithValues makes, in text order, laid out against this text in one pass;
    /// nullopt when the writes depend on each other (a key written twice, or keys of more than one
    /// new section), which must then be applied one after the other. Empty when every key already
    /// holds its value.
    std::optional<std::vector<Splice>> EditsFor(const std::vector<KeyValue>& writes) const;

private:
    struct Section
    {
        std::size_t bodyBegin; // just after the header line
        std::size_t bodyEnd; // start of the next header line, or the end of the text
        // Hash of each key name with its line's start, sorted (by hash, then file order); built
        // at the first lookup. The hashes are evenly spread, so a lookup starts where the hash's
        // share of the range points and finds its place within a few steps, however long the
        // section. Empty for a text beyond 4 GiB, which is then searched line by line.
        // Each entry is the hash in the high half and the line's start in the low half, so that
        // plain integer order is hash order, then file order.
        mutable std::vector<std::uint64_t> keys;
        mutable bool indexed = false;
        // Lookups made so far: the first is a walk through the lines, which finds a key near the
        // top (a count) without building the index; later ones build it.
        mutable std::uint32_t lookups = 0;
    };

    const Section* FindSection(std::string_view name) const;
    void Index(const Section& section) const;
    // Walks the section's key lines, matching them to the keys 1 to count in turn and handing each
    // value to emit, until a line could be one of those keys out of turn; returns how many it
    // handed.
    std::int32_t WalkNumbered(const Section& section, std::int32_t count, const void* context,
        void (*emit)(const void* context, std::optional<std::string_view> value)) const;

    std::string text_;
    std::vector<Section> sections_; // only the first section of each name
    std::unordered_map<std::string, std::size_t> sectionIndex_; // folded name -> sections_
    // The last section looked up, by the name as asked for: a batch of reads asks for one section.
    mutable std::string lastName_;
    mutable const Section* lastSection_ = nullptr;
};
