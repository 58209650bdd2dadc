#include "platform/ini_text.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <unordered_map>

#include "platform/codepage.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v';
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Names handed in by a caller lose only their spaces; a tab stays and then fails to match.
std::string_view TrimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

bool IsCp932TrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// 2 when a CP932 double-byte character starts at s[i], else 1. A lead byte without a valid trail
// byte after it stands alone, so a broken character never swallows a line end.
std::size_t CharLength(std::string_view s, std::size_t i)
{
    if (IsCp932LeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()
        && IsCp932TrailByte(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

// The form in which names are compared: ASCII letters in lower case. The second byte of a
// double-byte character may look like a letter; it is kept, so distinct characters stay distinct.
void Fold(std::string_view s, std::string& out)
{
    out.assign(s);
    for (std::size_t i = 0; i < out.size();) {
        const char c = out[i];
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c - 'A' + 'a');
        } else if (static_cast<unsigned char>(c) >= 0x80 && CharLength(s, i) == 2) {
            i += 2;
            continue;
        }
        ++i;
    }
}

// True when name folds to folded (Fold without building the folded text).
bool FoldsTo(std::string_view name, std::string_view folded)
{
    if (name.size() != folded.size())
        return false;
    for (std::size_t i = 0; i < name.size();) {
        const char c = name[i];
        if (static_cast<unsigned char>(c) >= 0x80 && CharLength(name, i) == 2) {
            if (name[i + 1] != folded[i + 1] || c != folded[i])
                return false;
            i += 2;
            continue;
        }
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != folded[i])
            return false;
        ++i;
    }
    return true;
}

// The hash of a name as it folds (the same for a name and its Fold), without building the folded
// text: FNV-1a over the folded bytes, mixed so that the high bits spread evenly too.
std::uint32_t FoldedHash(std::string_view name)
{
    std::uint32_t h = 2166136261u;
    const auto add = [&h](char c) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    };
    for (std::size_t i = 0; i < name.size();) {
        const char c = name[i];
        if (static_cast<unsigned char>(c) >= 0x80 && CharLength(name, i) == 2) {
            add(c);
            add(name[i + 1]);
            i += 2;
            continue;
        }
        add(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
        ++i;
    }
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

struct Line
{
    std::size_t begin;
    std::size_t end; // without the line end
    std::size_t next; // start of the following line
};

Line LineAt(const std::string& text, std::size_t begin)
{
    const char* data = text.data();
    const std::size_t n = text.size();
    std::size_t end = begin;
    while (end < n && !IsLineEnd(data[end]))
        ++end;
    std::size_t next = end;
    if (next < n)
        next += (data[next] == '\r' && next + 1 < n && data[next + 1] == '\n') ? 2 : 1;
    return { begin, end, next };
}

// LineAt for a walk through the lines in order: each kind of line end is looked for (with memchr)
// only once the walk has passed the last one found, so long texts are not scanned byte by byte.
class LineWalker
{
public:
    explicit LineWalker(const std::string& text)
        : data_(text.data())
        , n_(text.size())
    {
    }

    // As LineAt(text, begin), for begin not before that of the previous call.
    Line At(std::size_t begin)
    {
        if (cr_ < begin || !searched_)
            cr_ = Next('\r', begin);
        if (lf_ < begin || !searched_)
            lf_ = Next('\n', begin);
        searched_ = true;
        const std::size_t end = std::min(cr_, lf_);
        std::size_t next = end;
        if (next < n_)
            next += (data_[next] == '\r' && next + 1 < n_ && data_[next + 1] == '\n') ? 2 : 1;
        return { begin, end, next };
    }

private:
    std::size_t Next(char c, std::size_t from) const
    {
        if (from >= n_)
            return n_;
        const void* found = std::memchr(data_ + from, c, n_ - from);
        return found ? static_cast<std::size_t>(static_cast<const char*>(found) - data_) : n_;
    }

    const char* data_;
    std::size_t n_;
    std::size_t cr_ = 0;
    std::size_t lf_ = 0;
    bool searched_ = false;
};

std::size_t FirstNonBlank(const std::string& text, const Line& line)
{
    std::size_t i = line.begin;
    while (i < line.end && IsBlank(text[i]))
        ++i;
    return i;
}

struct KeyLine
{
    Line line;
    std::size_t equals; // position of the first "="
    std::string_view name;
};

// The line as a key line; nullopt for blank, comment and header lines and lines without "=".
std::optional<KeyLine> KeyLineAt(const std::string& text, const Line& line)
{
    const std::size_t first = FirstNonBlank(text, line);
    if (first == line.end || text[first] == ';' || text[first] == '[')
        return std::nullopt;
    const void* found = std::memchr(text.data() + first, '=', line.end - first);
    if (!found)
        return std::nullopt;
    const std::size_t equals = static_cast<const char*>(found) - text.data();
    return KeyLine { line, equals,
        TrimBlanks(std::string_view(text).substr(line.begin, equals - line.begin)) };
}

// The change that gives the key line value: the line keeps its text up to "=" and the blanks after
// it, and ends with CR LF. A value with leading blanks of its own replaces those blanks, so that
// writing it again finds it in place instead of adding its blanks once more. nullopt when the
// line already holds value.
std::optional<IniText::Splice> ValueSplice(
    const std::string& text, const KeyLine& keyLine, std::string_view value)
{
    const Line& line = keyLine.line;
    const std::string_view rest =
        std::string_view(text).substr(keyLine.equals + 1, line.end - keyLine.equals - 1);
    std::size_t lead = 0;
    while (lead < rest.size() && IsBlank(rest[lead]))
        ++lead;
    if (rest == value || rest.substr(lead) == value)
        return std::nullopt;
    if (!value.empty() && IsBlank(value.front()))
        lead = 0;
    return IniText::Splice { keyLine.equals + 1 + lead, line.next, std::string(value) + "\r\n" };
}

std::string_view ValueOf(const std::string& text, const KeyLine& key)
{
    std::string_view value =
        TrimBlanks(std::string_view(text).substr(key.equals + 1, key.line.end - key.equals - 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

// The name of a header line: from after "[" to the first "]" (or the line's end), blanks trimmed.
std::string_view HeaderName(const std::string& text, std::size_t open, std::size_t end)
{
    const std::string_view line = std::string_view(text).substr(0, end);
    std::size_t i = open + 1;
    while (i < end && text[i] != ']')
        i += CharLength(line, i);
    return TrimBlanks(line.substr(open + 1, std::min(i, end) - open - 1));
}

} // namespace

IniText::IniText(std::string text)
    : text_(std::move(text))
{
    const std::size_t n = text_.size();
    const char* data = text_.data();
    std::string folded;
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    std::size_t open = none; // the section whose body is being read, if it is a first one
    // Only the header lines matter here, so the walk jumps from one "[" to the next: a "[" opens a
    // header when nothing but blanks stands between it and the start of its line. (A "[" that is
    // the second byte of a double-byte character follows its first byte, which is no blank.)
    for (std::size_t from = 0; from < n;) {
        const void* found = std::memchr(data + from, '[', n - from);
        if (!found)
            break;
        const auto first = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        std::size_t begin = first;
        while (begin > 0 && IsBlank(data[begin - 1]))
            --begin;
        if (begin > 0 && !IsLineEnd(data[begin - 1])) {
            from = first + 1;
            continue;
        }
        const Line line = LineAt(text_, begin);
        if (open != none)
            sections_[open].bodyEnd = line.begin;
        Fold(HeaderName(text_, first, line.end), folded);
        const bool inserted = sectionIndex_.try_emplace(folded, sections_.size()).second;
        open = none;
        if (inserted) {
            open = sections_.size();
            sections_.push_back(Section { line.next, n, {}, false, 0 });
        }
        from = line.next;
    }
}

const IniText::Section* IniText::FindSection(std::string_view name) const
{
    if (lastSection_ && name == lastName_)
        return lastSection_;
    std::string folded;
    Fold(TrimSpaces(name), folded);
    const auto it = sectionIndex_.find(folded);
    if (it == sectionIndex_.end())
        return nullptr;
    lastName_.assign(name);
    lastSection_ = &sections_[it->second];
    return lastSection_;
}

void IniText::Index(const Section& section) const
{
    section.indexed = true;
    if (text_.size() > UINT32_MAX)
        return;
    for (std::size_t pos = section.bodyBegin; pos < section.bodyEnd;) {
        const Line line = LineAt(text_, pos);
        if (const auto keyLine = KeyLineAt(text_, line))
            section.keys.push_back(
                static_cast<std::uint64_t>(FoldedHash(keyLine->name)) << 32 | line.begin);
        pos = line.next;
    }
    std::sort(section.keys.begin(), section.keys.end());
    section.keys.shrink_to_fit();
}

std::optional<std::string_view> IniText::Find(std::string_view section, std::string_view key) const
{
    const Section* found = FindSection(section);
    if (!found)
        return std::nullopt;
    const bool walk = found->lookups == 0 || text_.size() > UINT32_MAX;
    if (found->lookups < UINT32_MAX)
        ++found->lookups;
    if (!walk && !found->indexed)
        Index(*found);
    std::string wanted;
    Fold(TrimSpaces(key), wanted);
    const auto matches = [&](const KeyLine& keyLine) { return FoldsTo(keyLine.name, wanted); };
    if (walk) {
        for (std::size_t pos = found->bodyBegin; pos < found->bodyEnd;) {
            const Line line = LineAt(text_, pos);
            if (const auto keyLine = KeyLineAt(text_, line); keyLine && matches(*keyLine))
                return ValueOf(text_, *keyLine);
            pos = line.next;
        }
        return std::nullopt;
    }

    // Start where the hash's share of the range points, and close in on the first entry of the
    // hash with steps that double (so a long run of one hash costs only its logarithm).
    const std::vector<std::uint64_t>& keys = found->keys;
    if (keys.empty())
        return std::nullopt;
    const std::uint32_t hash = FoldedHash(wanted);
    const auto hashAt = [&keys](
                            std::size_t i) { return static_cast<std::uint32_t>(keys[i] >> 32); };
    const std::size_t guess =
        static_cast<std::size_t>((static_cast<std::uint64_t>(hash) * keys.size()) >> 32);
    std::size_t low = guess, high = guess; // the first entry of the hash lies in [low, high]
    if (hashAt(guess) < hash) {
        std::size_t step = 1;
        while (high < keys.size() && hashAt(high) < hash) {
            low = high;
            high = std::min(keys.size(), guess + step);
            step *= 2;
        }
    } else {
        std::size_t step = 1;
        while (low > 0 && hashAt(low - 1) >= hash) {
            high = low;
            low = guess >= step ? guess - step : 0;
            step *= 2;
        }
    }
    const auto first = std::lower_bound(keys.begin() + static_cast<std::ptrdiff_t>(low),
        keys.begin() + static_cast<std::ptrdiff_t>(high), static_cast<std::uint64_t>(hash) << 32);
    std::size_t at = static_cast<std::size_t>(first - keys.begin());
    // Entries of one hash are in file order, so the first that really matches is the first key.
    for (; at < keys.size() && hashAt(at) == hash; ++at) {
        const auto keyLine =
            KeyLineAt(text_, LineAt(text_, static_cast<std::uint32_t>(keys[at] & UINT32_MAX)));
        if (matches(*keyLine))
            return ValueOf(text_, *keyLine);
    }
    return std::nullopt;
}

std::int32_t IniText::WalkNumbered(const Section& section, std::int32_t count, const void* context,
    void (*emit)(const void* context, std::optional<std::string_view> value)) const
{
    // A name is one of the numbered keys only when it is exactly a key's decimal digits: digits
    // have no case, and the blanks around names are gone. So a key handed over came from the
    // first line of its name. Any other all-digit name may be a key out of turn (or a repeat, or
    // a leading zero), for which the walk cannot stand in: it stops there.
    const auto allDigits = [](std::string_view name) {
        return !name.empty()
            && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    char digits[16];
    const auto decimal = [&digits](std::int32_t i) {
        const auto end = std::to_chars(digits, digits + sizeof digits, i).ptr;
        return std::string_view(digits, static_cast<std::size_t>(end - digits));
    };
    std::int32_t handed = 0;
    std::string_view wanted = decimal(1);
    const auto hand = [&](const KeyLine& keyLine) {
        emit(context, ValueOf(text_, keyLine));
        ++handed;
        if (handed < count)
            wanted = decimal(handed + 1);
    };
    const char* const data = text_.data();
    LineWalker lines(text_);
    for (std::size_t pos = section.bodyBegin; pos < section.bodyEnd && handed < count;) {
        const Line line = lines.At(pos);
        pos = line.next;
        // Most lines are the wanted key itself: its digits between blanks, then "=". Those are
        // recognised without looking for the "=" through the line.
        std::size_t at = line.begin;
        while (at < line.end && IsBlank(data[at]))
            ++at;
        if (line.end - at > wanted.size()
            && std::memcmp(data + at, wanted.data(), wanted.size()) == 0) {
            std::size_t equals = at + wanted.size();
            while (equals < line.end && IsBlank(data[equals]))
                ++equals;
            if (equals < line.end && data[equals] == '=') {
                hand(KeyLine { line, equals, wanted });
                continue;
            }
        }
        const auto keyLine = KeyLineAt(text_, line);
        if (!keyLine)
            continue;
        if (keyLine->name == wanted) {
            hand(*keyLine);
        } else if (allDigits(keyLine->name)) {
            return handed;
        }
    }
    // The keys not reached are in no line of the section.
    for (; handed < count; ++handed)
        emit(context, std::nullopt);
    return handed;
}

std::optional<std::string> IniText::WithValue(
    std::string_view section, std::string_view key, std::string_view value) const
{
    std::optional<Splice> edit = EditFor(section, key, value);
    if (!edit)
        return std::nullopt;
    std::string out;
    out.reserve(text_.size() - (edit->end - edit->begin) + edit->inserted.size());
    out.append(text_, 0, edit->begin).append(edit->inserted).append(text_, edit->end);
    return out;
}

std::optional<IniText::Splice> IniText::EditFor(
    std::string_view section, std::string_view key, std::string_view value) const
{
    const std::string_view sectionName = TrimSpaces(section);
    const std::string_view keyName = TrimSpaces(key);
    const std::size_t n = text_.size();
    std::string inserted;
    const Section* found = FindSection(sectionName);
    if (!found) {
        if (n > 0 && !IsLineEnd(text_.back()))
            inserted += "\r\n";
        inserted.append("[").append(sectionName).append("]\r\n");
        inserted.append(keyName).append("=").append(value).append("\r\n");
        return Splice { n, n, std::move(inserted) };
    }

    std::string wanted, folded;
    Fold(keyName, wanted);
    std::size_t insertAt = found->bodyBegin;
    for (std::size_t pos = found->bodyBegin; pos < found->bodyEnd;) {
        const Line line = LineAt(text_, pos);
        pos = line.next;
        const auto keyLine = KeyLineAt(text_, line);
        if (!keyLine)
            continue;
        insertAt = line.next;
        Fold(keyLine->name, folded);
        if (folded != wanted)
            continue;
        // Only the value changes: the line keeps its text up to "=" and the blanks after it, and
        // ends with CR LF.
        return ValueSplice(text_, *keyLine, value);
    }

    // A new key goes right after the section's last key line, so comments and blank lines below
    // it stay where they are; CR LF first when that line is the file's last and has no line end.
    if (insertAt > 0 && !IsLineEnd(text_[insertAt - 1]))
        inserted += "\r\n";
    inserted.append(keyName).append("=").append(value).append("\r\n");
    return Splice { insertAt, insertAt, std::move(inserted) };
}

std::optional<std::vector<IniText::Splice>> IniText::EditsFor(
    const std::vector<KeyValue>& writes) const
{
    // The writes are laid out against this text in one pass when each one's effect does not
    // depend on another's: every key written once, and new sections at most one (all its keys go
    // into it, in order, at the end). New keys of a section go after its last key line in the
    // order written, which is where write after write would put them.
    std::vector<const Section*> sectionOf(writes.size());
    std::unordered_map<std::string, std::size_t> written; // folded section, NUL, folded key
    // Folded name of the one new section; an empty name is a section name like any other.
    std::optional<std::string> newSection;
    std::string folded, foldedKey;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const std::string_view sectionName = TrimSpaces(writes[i].section);
        sectionOf[i] = FindSection(sectionName);
        Fold(sectionName, folded);
        if (!sectionOf[i]) {
            if (newSection && *newSection != folded)
                return std::nullopt;
            newSection = folded;
        }
        Fold(TrimSpaces(writes[i].key), foldedKey);
        if (!written.emplace(folded + '\0' + foldedKey, i).second)
            return std::nullopt;
    }

    std::vector<Splice> splices;
    std::vector<bool> placed(writes.size(), false);
    std::vector<const Section*> sections;
    for (const Section* section : sectionOf) {
        if (section && std::find(sections.begin(), sections.end(), section) == sections.end())
            sections.push_back(section);
    }
    for (const Section* section : sections) {
        // The keys written to this section, found in one walk through it.
        std::unordered_map<std::string, std::size_t> wanted;
        for (std::size_t i = 0; i < writes.size(); ++i) {
            if (sectionOf[i] == section) {
                Fold(TrimSpaces(writes[i].key), foldedKey);
                wanted.emplace(foldedKey, i);
            }
        }
        std::size_t insertAt = section->bodyBegin;
        for (std::size_t pos = section->bodyBegin; pos < section->bodyEnd;) {
            const Line line = LineAt(text_, pos);
            pos = line.next;
            const auto keyLine = KeyLineAt(text_, line);
            if (!keyLine)
                continue;
            insertAt = line.next;
            Fold(keyLine->name, foldedKey);
            const auto it = wanted.find(foldedKey);
            if (it == wanted.end() || placed[it->second])
                continue;
            placed[it->second] = true;
            if (std::optional<Splice> edit = ValueSplice(text_, *keyLine, writes[it->second].value))
                splices.push_back(std::move(*edit));
        }
        std::string inserted;
        for (std::size_t i = 0; i < writes.size(); ++i) {
            if (sectionOf[i] == section && !placed[i]) {
                inserted.append(TrimSpaces(writes[i].key)).append("=");
                inserted.append(writes[i].value).append("\r\n");
            }
        }
        if (!inserted.empty())
            splices.push_back(Splice { insertAt, insertAt, std::move(inserted), true });
    }
    // Stable: a value written into the last line comes before new lines inserted after it.
    std::stable_sort(splices.begin(), splices.end(),
        [](const Splice& a, const Splice& b) { return a.begin < b.begin; });
    if (newSection) {
        std::string inserted;
        for (std::size_t i = 0; i < writes.size(); ++i) {
            if (sectionOf[i])
                continue;
            if (inserted.empty())
                inserted.append("[").append(TrimSpaces(writes[i].section)).append("]\r\n");
            inserted.append(TrimSpaces(writes[i].key)).append("=");
            inserted.append(writes[i].value).append("\r\n");
        }
        splices.push_back(Splice { text_.size(), text_.size(), std::move(inserted), true });
    }
    // A last line without a line end gets one before anything is inserted after it, as a single
    // write would add it; a value written into that line ends it already (every splice's text
    // ends with CR LF).
    const std::size_t n = text_.size();
    bool ended = n == 0 || IsLineEnd(text_.back());
    for (Splice& splice : splices) {
        if (splice.newLines && splice.begin == n && !ended)
            splice.inserted.insert(0, "\r\n");
        if (splice.end == n)
            ended = true;
    }
    return splices;
}

std::optional<std::string> IniText::WithValues(const std::vector<KeyValue>& writes) const
{
    const std::optional<std::vector<Splice>> splices = EditsFor(writes);
    if (!splices) {
        // Writes that depend on each other are applied one after the other.
        std::optional<std::string> content;
        std::optional<IniText> reparsed;
        for (const KeyValue& w : writes) {
            const IniText& current = content ? reparsed.emplace(*content) : *this;
            if (std::optional<std::string> next = current.WithValue(w.section, w.key, w.value))
                content = std::move(next);
        }
        return content;
    }
    if (splices->empty())
        return std::nullopt;
    std::string out;
    std::size_t size = text_.size();
    for (const Splice& splice : *splices)
        size += splice.inserted.size() - (splice.end - splice.begin);
    out.reserve(size);
    std::size_t at = 0;
    for (const Splice& splice : *splices) {
        out.append(text_, at, splice.begin - at).append(splice.inserted);
        at = splice.end;
    }
    out.append(text_, at);
    return out;
}
