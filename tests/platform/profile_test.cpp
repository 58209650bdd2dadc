#include "platform/profile.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/codepage_p.h"
#include "platform/profile_lock_p.h"
#include "tests/support/forked_child.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/restore.h"
#include "tests/support/scratch_dir.h"

// Choices made where Windows' behaviour is not known or is plainly unsound, checked below:
// - A line without "=" is not a key: reading it gives the default.
// - An empty value reads as empty, not as the default.
// - A value that is a single quote character comes back as that character; quotes are removed
//   before a small buffer cuts the value.
// - A NUL byte inside a value ends the value (the caller gets a zero-terminated text).
// - Values of any length read in full up to the buffer: there is no wrap at 65,536 bytes.
// - Name matching folds ASCII letters only; the second byte of a CP932 double-byte character is
//   never folded, and a "]" that is such a second byte does not end a header.
// - Replacing a value keeps the line's text up to "=" and the blanks after it ("  k = v" becomes
//   "  k = w"), unless the value has leading blanks of its own, which then replace the line's (so
//   writing the same value twice does not add blanks); of repeated keys the first one changes.
// - A new key goes right after the section's last key line, before blank and comment lines; in a
//   section without key lines, right after the header.
// - Writing the value a key already holds leaves the file untouched.
// - A file starting with FF FE is UTF-16LE: read as its CP932 rendering (a character CP932 lacks
//   reads as "?"); a write keeps it UTF-16LE with its mark and replaces only the characters of
//   what it changes. One with an odd number of bytes after the mark is not written (no UTF-16LE
//   text can continue it), so it is never damaged.
// - A write-protected file is not replaced even where the directory would allow it.

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct Got
{
    std::string text;
    DWORD count;
};

Got Get(const char* section, const char* key, const char* def, const std::string& path,
    DWORD size = 260)
{
    std::vector<char> buffer(size + 1, '#');
    const DWORD count =
        GetPrivateProfileStringA(section, key, def, buffer.data(), size, path.c_str());
    return { std::string(buffer.data()), count };
}

// Runs body in a forked child and gives its exit code (-1 when it did not exit normally).
int RunInChild(const std::function<int()>& body)
{
    ForkedChild child(fork());
    if (child.InChild())
        _exit(body());
    const int status = child.Wait();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Writes value to key k of section S as nobody, waiting for the lock a short while; the write's
// result (99 when the drop to nobody fails).
int WriteAsNobody(const std::string& path, const char* value)
{
    return RunInChild([&] {
        ProfileLockTimeout() = std::chrono::milliseconds(300);
        if (!DropRootToNobody())
            return 99;
        return WritePrivateProfileStringA("S", "k", value, path.c_str());
    });
}

class Profile : public testing::Test
{
protected:
    // The folder's entries in name order, without the writes' lock files, which stay for good.
    std::vector<std::string> DirectoryEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            const std::string name = entry.path().filename().string();
            if (!(name.starts_with('.') && name.ends_with(".lock")))
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchDir m_scratch { "profile_" };
    const fs::path m_dir = m_scratch.Dir();
    const std::string m_path = m_scratch.File("x.ini");
};

struct ReadCase
{
    const char* what;
    std::string file;
    const char* section;
    const char* key;
    const char* def;
    DWORD size;
    std::string text;
    DWORD count;
};

const std::vector<ReadCase>& ReadCases()
{
    static const std::vector<ReadCase> rows = {
        { "CR-only lines", "[s]\rname1=val1\rname4=a\r", "s", "name4", "d", 260, "a", 1 },
        { "LF-only lines, no final line end", "[s]\nk=v\nj=w", "s", "j", "d", 260, "w", 1 },
        { "blank lines, indented header", "\r\n\t[S]\r\nk=v\r\n", "S", "k", "d", 260, "v", 1 },
        { "blanks inside brackets", "[\tx\t]\r\nk=v", "x", "k", "d", 260, "v", 1 },
        { "name ends at first ]", "[sec]whoops]\r\nk=v", "sec", "k", "d", 260, "v", 1 },
        { "text after ] is no key", "[S]k=v\r\n", "S", "k", "d", 260, "d", 1 },
        { "header without ]", "[S   \r\nk=v\r\n", "S", "k", "d", 260, "v", 1 },
        { "no [ no header", "S]\r\nk=v\r\n", "S", "k", "d", 260, "d", 1 },
        { "[ inside a line opens nothing", "[S]\r\nk=[T]\r\n x [T]\r\n[U]\r\nj=w", "T", "k", "d",
            260, "d", 1 },
        { "[ as a second byte opens nothing", "[S]\r\n\x83[T]\r\nk=v\r\n", "S", "k", "d", 260, "v",
            1 },
        { "header after a lone CR and blanks", "[S]\rk=v\r \t[T]\rk=w\r", "T", "k", "d", 260, "w",
            1 },
        { "case", "[section1]\r\nname1=val1", "SECTION1", "NaMe1", "d", 260, "val1", 4 },
        { "spaces of arguments", "[S]\r\nk=v\r\n", " S ", "  k  ", "d", 260, "v", 1 },
        { "tab in section argument", "[S]\r\nk=v\r\n", "\tS", "k", "d", 260, "d", 1 },
        { "tab in key argument", "[S]\r\nk=v\r\n", "S", "k\t", "d", 260, "d", 1 },
        { "blanks around key and value", "[S]\r\n\tk\t=\tv\t\r\n", "S", "k", "d", 260, "v", 1 },
        { "first =", "[S]\r\nk=a=b\r\n", "S", "k", "d", 260, "a=b", 3 },
        { "single quotes", "[S]\r\nk=  '  v  '  \r\n", "S", "k", "d", 260, "  v  ", 5 },
        { "one pair of quotes", "[S]\r\nk=\"'v'\"\r\n", "S", "k", "d", 260, "'v'", 3 },
        { "unmatched quotes", "[S]\r\nk=\"v'\r\n", "S", "k", "d", 260, "\"v'", 3 },
        { "lone quote", "[S]\r\nk=\"\r\n", "S", "k", "d", 260, "\"", 1 },
        { "quotes off before the cut", "[S]\r\nk=\"abcdef\"\r\n", "S", "k", "d", 4, "abc", 3 },
        { "quoted key unquoted", "[S]\r\n\"k\"=v\r\n", "S", "k", "", 260, "", 0 },
        { "quoted key", "[S]\r\n\"k\"=v\r\n", "S", "\"k\"", "d", 260, "v", 1 },
        { "comment invisible", "[S]\r\n ;k=v\r\n", "S", ";k", "d", 260, "d", 1 },
        { "comment no key", "[S]\r\n ;k=v\r\n", "S", "k", "d", 260, "d", 1 },
        { "; inside a value", "[A]\r\np=diet   ;gag\r\n#x=y\r\n", "A", "p", "d", 260, "diet   ;gag",
            11 },
        { "# starts a key", "[A]\r\np=diet   ;gag\r\n#x=y\r\n", "A", "#x", "d", 260, "y", 1 },
        { "line without =", "[s]\r\nname3\r\n", "s", "name3", "d", 260, "d", 1 },
        { "before first header", "k=v\r\n[S]\r\n", "", "k", "d", 260, "d", 1 },
        { "empty section name", "[]\r\nkey=x\r\n[s]\r\n=y\r\n", "", "key", "d", 260, "x", 1 },
        { "empty key name", "[]\r\nkey=x\r\n[s]\r\n=y\r\n", "s", "", "d", 260, "y", 1 },
        { "first key wins", "[S]\r\nk=1\r\nk=2", "S", "k", "d", 260, "1", 1 },
        { "first section wins", "[S]\r\n[s]\r\nk=v", "S", "k", "d", 260, "d", 1 },
        { "empty value", "[S]\r\nk=\r\n", "S", "k", "d", 260, "", 0 },
        { "default loses trailing spaces", "[S]\r\nk=v\r\n", "S", "x", "   d  ", 260, "   d", 4 },
        { "default keeps tabs", "[S]\r\nk=v\r\n", "S", "x", "\td\t", 260, "\td\t", 3 },
        { "default keeps quotes", "[S]\r\n", "S", "x", "\"d\"", 260, "\"d\"", 3 },
        { "exact fit", "[section1]\r\nname1=val1", "section1", "name1", "d", 5, "val1", 4 },
        { "cut", "[section1]\r\nname1=val1", "section1", "name1", "d", 4, "val", 3 },
        { "size 1", "[section1]\r\nname1=val1", "section1", "name1", "d", 1, "", 0 },
        { "default cut", "[section1]\r\nname1=val1", "section1", "x", "default", 4, "def", 3 },
        { "UTF-8 bytes unchanged", "[S]\r\nk=Unicode\xE2\x9D\xA4\r\n", "S", "k", "d", 260,
            "Unicode\xE2\x9D\xA4", 10 },
        { "UTF-8 BOM hides line 1", "\xEF\xBB\xBF[S]\r\nk=v\r\n[T]\r\nj=w\r\n", "S", "k", "d", 260,
            "d", 1 },
        { "UTF-8 BOM, later section", "\xEF\xBB\xBF[S]\r\nk=v\r\n[T]\r\nj=w\r\n", "T", "j", "d",
            260, "w", 1 },
        { "UTF-16LE", "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0"s, "S", "k", "d", 260, "v", 1 },
        { "UTF-16LE in CP932", "\xFF\xFE[\0S\0]\0\n\0k\0=\0\x7A\x7A\xE9\0\x3D\xD8\x00\xDE\0\xD8"s,
            "S", "k", "d", 260,
            "\x8B\xF3??"
            "?",
            5 }, // 空, é, an emoji, a lone surrogate
        { "NUL as last byte", "[s]\r\nname4=val4\r\n\0"s, "s", "name4", "d", 260, "val4", 4 },
        { "NUL ends a value", "[s]\r\nk=ab\0cd\r\n"s, "s", "k", "d", 260, "ab", 2 },
        { "] as second byte", "[\x81\x5D]\r\nk=v\r\n", "\x81\x5D", "k", "d", 260, "v", 1 },
        { "second byte not folded", "[S]\r\n\x83\x61=1\r\n", "S", "\x83\x41", "d", 260, "d", 1 },
        { "folding after double byte", "[\x83\x41x]\r\nk=v\r\n", "\x83\x41X", "K", "d", 260, "v",
            1 },
        { "broken double byte", "[S]\r\nk=\x81\r\nj=w\r\n", "S", "j", "d", 260, "w", 1 },
        { "65,536 bytes, no wrap", "[S]\r\nk=" + std::string(65536, 'x'), "S", "k", "d", 65538,
            std::string(65536, 'x'), 65536 },
    };
    return rows;
}

TEST_F(Profile, ReadsAsTheFileLayoutSays)
{
    for (const ReadCase& row : ReadCases()) {
        SCOPED_TRACE(row.what);
        WriteBytes(m_path, row.file);
        const Got got = Get(row.section, row.key, row.def, m_path, row.size);
        EXPECT_EQ(got.text, row.text);
        EXPECT_EQ(got.count, row.count);
    }
}

TEST_F(Profile, ReadFallsBackToTheDefaultWithoutAFile)
{
    EXPECT_EQ(Get("S", "k", "d  ", m_path).text, "d");
    EXPECT_EQ(Get("S", "k", "d", "").text, "d");
    fs::create_directory(m_dir / "dir.ini");
    EXPECT_EQ(Get("S", "k", "d", (m_dir / "dir.ini").string()).text, "d");

    WriteBytes(m_path, "[S]\r\nk=v\r\n");
    char buffer[4] = "abc";
    EXPECT_EQ(GetPrivateProfileStringA("S", "k", "d", buffer, 0, m_path.c_str()), 0u);
    EXPECT_STREQ(buffer, "abc");
}

TEST_F(Profile, ReadsLongLinesWhole)
{
    const std::string big(10 * 1024 * 1024, 'x');
    WriteBytes(m_path, "[S]\r\nk=" + big + "\r\nj=w");
    const Got cut = Get("S", "k", "d", m_path, 1024);
    EXPECT_EQ(cut.text, std::string(1023, 'x'));
    EXPECT_EQ(cut.count, 1023u);
    EXPECT_EQ(Get("S", "j", "d", m_path).text, "w");

    ASSERT_EQ(WritePrivateProfileStringA("S", "i", "1", m_path.c_str()), 1);
    EXPECT_EQ(ReadBytes(m_path), "[S]\r\nk=" + big + "\r\nj=w\r\ni=1\r\n");
}

struct WriteCase
{
    const char* what;
    std::optional<std::string> before; // nullopt: no file
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

const std::vector<WriteCase>& WriteCases()
{
    static const std::vector<WriteCase> rows = {
        { "new file", std::nullopt, "App", "key", "string", "[App]\r\nkey=string\r\n" },
        { "empty file", "", "App", "key", "string", "[App]\r\nkey=string\r\n" },
        { "empty value", std::nullopt, "App", "key", "", "[App]\r\nkey=\r\n" },
        { "new section at the end", "[App1]\r\nkey1=string1\r\n[App2]\r\nkey4=string4\r\n", "App3",
            "key5", "string5",
            "[App1]\r\nkey1=string1\r\n[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n" },
        { "line end added, NULs kept", "Data \0 before \0 first \0 section"s, "section1", "key1",
            "string1", "Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n"s },
        { "after last key, before comment", "[S]\r\nz=\r\n;y=\r\n", "S", "a", "",
            "[S]\r\nz=\r\na=\r\n;y=\r\n" },
        { "stays in its section", "[A]\r\nk1=1\r\n[B]\r\nk4=4\r\n", "A", "k2", "2",
            "[A]\r\nk1=1\r\nk2=2\r\n[B]\r\nk4=4\r\n" },
        { "before blank lines", "[A]\r\nk=1\r\n\r\n[B]\r\n", "A", "j", "2",
            "[A]\r\nk=1\r\nj=2\r\n\r\n[B]\r\n" },
        { "section without keys", "[A]\r\n;c\r\n[B]\r\n", "A", "j", "2",
            "[A]\r\nj=2\r\n;c\r\n[B]\r\n" },
        { "header without line end", "[S]", "S", "k", "v", "[S]\r\nk=v\r\n" },
        { "replace keeps spelling", "[SectionName]\r\nTestKey=TestValue", "SECTIONNAME", "TESTKEY",
            "TestValue2", "[SectionName]\r\nTestKey=TestValue2\r\n" },
        { "only that line changes", ";c0\r\n[S]\r\n;c1\r\nb=value\r\n;c2\r\na=value\r\n", "S", "b",
            "", ";c0\r\n[S]\r\n;c1\r\nb=\r\n;c2\r\na=value\r\n" },
        { "new key after last key", ";c0\r\n[S]\r\n;c1\r\nb=value\r\n;c2\r\na=value\r\n", "S", "z",
            "", ";c0\r\n[S]\r\n;c1\r\nb=value\r\n;c2\r\na=value\r\nz=\r\n" },
        { "layout around = kept", "[S]\r\n  k = v\r\nj=1\r\n", "S", "k", "w",
            "[S]\r\n  k = w\r\nj=1\r\n" },
        { "value's own leading blanks replace the line's", "[S]\r\nk=\t old\r\n", "S", "k", " new",
            "[S]\r\nk= new\r\n" },
        { "same value with leading blanks, nothing written", "[S]\r\nk= new\r\n", "S", "k", " new",
            "[S]\r\nk= new\r\n" },
        { "first of two keys", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "3", "[S]\r\nk=3\r\nk=2\r\n" },
        { "first of two sections", "[S]\r\nk=1\r\n[S]\r\nj=2\r\n", "S", "j", "3",
            "[S]\r\nk=1\r\nj=3\r\n[S]\r\nj=2\r\n" },
        { "value as given", std::nullopt, "S", "k", " v ;#\"", "[S]\r\nk= v ;#\"\r\n" },
        { "names lose spaces only", std::nullopt, "   sec   ", "  key\t ", " value ",
            "[sec]\r\nkey\t= value \r\n" },
        { "names not checked", std::nullopt, "sec]x", "k", "v", "[sec]x]\r\nk=v\r\n" },
        { "; key always added", "[S]\r\n;k=v\r\n", "S", ";k", "v", "[S]\r\n;k=v\r\n;k=v\r\n" },
        { "same value, nothing written", "[S]\nk=v\n", "S", "k", "v", "[S]\nk=v\n" },
        { "LF file gets CR LF lines", "[S]\nk=v\nx\n", "S", "j", "w", "[S]\nk=v\nj=w\r\nx\n" },
        { "CR file", "[S]\rk=1\r[T]\rj=2\r", "S", "k", "3", "[S]\rk=3\r\n[T]\rj=2\r" },
        { "last line without line end", "[S]\r\nk=v", "S", "j", "w", "[S]\r\nk=v\r\nj=w\r\n" },
        { "NULs elsewhere kept", "\0x\r\n[S]\r\nk=1\r\n\0"s, "S", "k", "2",
            "\0x\r\n[S]\r\nk=2\r\n\0"s },
        { "UTF-8 BOM", "\xEF\xBB\xBF[S]\r\nk=v\r\n", "S", "k", "w",
            "\xEF\xBB\xBF[S]\r\nk=v\r\n[S]\r\nk=w\r\n" },
    };
    return rows;
}

TEST_F(Profile, WritesOnlyWhatChanges)
{
    for (const WriteCase& row : WriteCases()) {
        SCOPED_TRACE(row.what);
        fs::remove(m_path);
        if (row.before)
            WriteBytes(m_path, *row.before);
        EXPECT_EQ(WritePrivateProfileStringA(row.section, row.key, row.value, m_path.c_str()), 1);
        EXPECT_EQ(ReadBytes(m_path), row.after);
    }
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string> { "x.ini" });
}

TEST_F(Profile, ReadsBackWhatItWrote)
{
    for (int i = 1; i <= 40; ++i) {
        const std::string key = std::to_string(i);
        ASSERT_EQ(WritePrivateProfileStringA(
                      "Usercolor", key.c_str(), ("v" + key).c_str(), m_path.c_str()),
            1);
    }
    for (int i = 40; i >= 1; --i) {
        const std::string key = std::to_string(i);
        EXPECT_EQ(Get("usercolor", key.c_str(), "d", m_path).text, "v" + key);
    }
    EXPECT_EQ(Get("Usercolor", "41", "d", m_path).text, "d");
}

TEST_F(Profile, ResolvesRelativePathsAgainstTheCurrentDirectory)
{
    const fs::path before = fs::current_path();
    fs::current_path(m_dir);
    const BOOL written = WritePrivateProfileStringA("S", "k", "v", "rel.ini");
    const Got got = Get("S", "k", "d", "rel.ini");
    fs::current_path(before);
    EXPECT_EQ(written, 1);
    EXPECT_EQ(got.text, "v");
    EXPECT_EQ(ReadBytes((m_dir / "rel.ini").string()), "[S]\r\nk=v\r\n");
}

struct Utf16WriteCase
{
    const char* name;
    std::string before; // after the mark, in UTF-16LE
    const char* section;
    const char* key;
    const char* value; // CP932
    std::string after; // after the mark, in UTF-16LE
};

// UTF-16LE files stay UTF-16LE: what a write changes is written in UTF-16LE, every other character
// keeps its bytes, even one that reads as "?" (here é, U+00E9, and an emoji as a surrogate pair).
TEST_F(Profile, WritesUtf16LeFilesInUtf16Le)
{
    const std::string e = "\xE9\0"s, emoji = "\x3D\xD8\x00\xDE"s;
    const auto u = [](const std::string& ascii) {
        std::string out;
        for (const char c : ascii)
            out.append(1, c).append(1, '\0');
        return out;
    };
    const std::vector<Utf16WriteCase> cases = {
        { "value replaced", u(";caf") + e + u("\r\n[S]\r\nk=v\r\nj=") + emoji + u("\r\n"), "S", "k",
            "\x8B\xF3",
            u(";caf") + e + u("\r\n[S]\r\nk=") + "\x7A\x7A"s + u("\r\nj=") + emoji + u("\r\n") },
        { "key added", u("[S]\r\nj=") + emoji + u("\r\n;c\r\n"), "S", "k", "w",
            u("[S]\r\nj=") + emoji + u("\r\nk=w\r\n;c\r\n") },
        { "section added after a line without an end", u("[T]\r\nj=") + emoji, "S", "k", "w",
            u("[T]\r\nj=") + emoji + u("\r\n[S]\r\nk=w\r\n") },
        { "mark alone", "", "S", "k", "w", u("\r\n[S]\r\nk=w\r\n") },
    };
    for (const Utf16WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(m_path, "\xFF\xFE" + c.before);
        ASSERT_NE(WritePrivateProfileStringA(c.section, c.key, c.value, m_path.c_str()), 0);
        EXPECT_EQ(ReadBytes(m_path), "\xFF\xFE" + c.after);
        EXPECT_EQ(Get(c.section, c.key, "d", m_path).text, c.value);
    }

    // Several writes at once, and a whole new text, stay UTF-16LE too; a new file does not.
    WriteBytes(m_path, "\xFF\xFE" + u("[S]\r\n"));
    ASSERT_NE(
        WritePrivateProfileStringsA({ { "S", "a", "1" }, { "S", "b", "2" } }, m_path.c_str()), 0);
    EXPECT_EQ(ReadBytes(m_path), "\xFF\xFE" + u("[S]\r\na=1\r\nb=2\r\n"));
    // A batch laid out in one pass: a value changed in the last line, which has no line end,
    // keys added after it and a new section, each character it does not change kept.
    WriteBytes(m_path, "\xFF\xFE" + u(";") + emoji + u("\r\n[S]\r\nc=") + e + u("\r\nn=1"));
    ASSERT_NE(WritePrivateProfileStringsA({ { "S", "n", "3" }, { "S", "x", "\x8B\xF3" },
                                              { "S", "y", "" }, { "T", "z", "1" } },
                  m_path.c_str()),
        0);
    EXPECT_EQ(ReadBytes(m_path),
        "\xFF\xFE" + u(";") + emoji + u("\r\n[S]\r\nc=") + e + u("\r\nn=3\r\nx=") + "\x7A\x7A"s
            + u("\r\ny=\r\n[T]\r\nz=1\r\n"));
    WriteBytes(m_path, "\xFF\xFE" + u("[S]\r\nn=1"));
    ASSERT_NE(
        WritePrivateProfileStringsA({ { "S", "m", "2" }, { "S", "o", "3" } }, m_path.c_str()), 0);
    EXPECT_EQ(ReadBytes(m_path), "\xFF\xFE" + u("[S]\r\nn=1\r\nm=2\r\no=3\r\n"));
    ASSERT_NE(WritePrivateProfileTextA("[T]\r\nk=\x8B\xF3\r\n", m_path.c_str()), 0);
    EXPECT_EQ(ReadBytes(m_path), "\xFF\xFE" + u("[T]\r\nk=") + "\x7A\x7A"s + u("\r\n"));
    fs::remove(m_path);
    ASSERT_NE(WritePrivateProfileTextA("[T]\r\nk=\x8B\xF3\r\n", m_path.c_str()), 0);
    EXPECT_EQ(ReadBytes(m_path), "[T]\r\nk=\x8B\xF3\r\n");
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string> { "x.ini" });
}

// Failures: the call gives 0, the file keeps its bytes and no temporary file is left.
TEST_F(Profile, RefusedWritesChangeNothing)
{
    EXPECT_EQ(WritePrivateProfileStringA("S", "k", "v", ""), 0);
    EXPECT_EQ(WritePrivateProfileStringA("S", "k", "v", (m_dir / "no" / "x.ini").c_str()), 0);
    EXPECT_FALSE(fs::exists(m_dir / "no"));
    fs::create_directory(m_dir / "dir.ini");
    EXPECT_EQ(WritePrivateProfileStringA("S", "k", "v", (m_dir / "dir.ini").c_str()), 0);
    EXPECT_TRUE(fs::is_directory(m_dir / "dir.ini"));
    fs::remove(m_dir / "dir.ini");

    const std::string oddUtf16 = "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n"s;
    WriteBytes(m_path, oddUtf16);
    EXPECT_EQ(WritePrivateProfileStringA("S", "k", "w", m_path.c_str()), 0);
    EXPECT_EQ(ReadBytes(m_path), oddUtf16);
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string> { "x.ini" });
}

TEST_F(Profile, RefusesReadOnlyDirectoryAndFile)
{
    // Root ignores permission bits, so the write runs in a child that drops to nobody when root.
    const struct
    {
        const char* what;
        mode_t directoryMode;
        mode_t fileMode;
    } rows[] = {
        { "read-only directory", 0555, 0666 },
        { "read-only file", 0777, 0444 },
    };
    const std::string before = "[S]\r\nk=v\r\n";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        chmod(m_dir.c_str(), 0700);
        WriteBytes(m_path, before);
        ASSERT_EQ(chmod(m_path.c_str(), row.fileMode), 0);
        ASSERT_EQ(chmod(m_dir.c_str(), row.directoryMode), 0);
        const int result = RunInChild([&] {
            if (!DropRootToNobody())
                return 99;
            return WritePrivateProfileStringA("S", "k", "w", m_path.c_str());
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(ReadBytes(m_path), before);
        EXPECT_EQ(DirectoryEntries(), std::vector<std::string> { "x.ini" });
    }
}

// In a folder that several users write, the lock file that one user's write makes lets every user
// who may write the settings file lock it, whoever owns the settings file and whatever the umask.
TEST_F(Profile, LockFileLetsEveryUserWhoMayWriteTheSettingsFileLockIt)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two users";
    const struct
    {
        const char* what;
        uid_t owner;
        mode_t mode;
    } rows[] = {
        { "root's file, all may write", 0, 0666 },
        { "nobody's file, only nobody may write", NobodyId, 0600 },
        { "nobody's file, others may read", NobodyId, 0644 },
    };
    const std::string lockFile = (m_dir / ".x.ini.lock").string();
    ASSERT_EQ(chmod(m_dir.c_str(), 0777), 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove(lockFile);
        WriteBytes(m_path, "[S]\r\nk=v\r\n");
        ASSERT_EQ(chown(m_path.c_str(), row.owner, row.owner), 0);
        ASSERT_EQ(chmod(m_path.c_str(), row.mode), 0);
        ASSERT_EQ(WritePrivateProfileStringA("S", "k", "root", m_path.c_str()), 1);
        EXPECT_EQ(WriteAsNobody(m_path, "nobody"), 1);
        EXPECT_EQ(ReadBytes(m_path), "[S]\r\nk=nobody\r\n");
        EXPECT_EQ(DirectoryEntries(), std::vector<std::string> { "x.ini" });
        EXPECT_TRUE(fs::exists(lockFile));
    }
}

// A lock file of another user that this user cannot open for writing (left by an older program or
// made with other permissions) keeps this user waiting while its holder writes; once the holder is
// gone, a lock file this user may read lets the write through (held shared, and with flock
// against other such writers), one this user may not even read refuses it. It is never removed.
TEST_F(Profile, AnotherUsersLockFileThatThisUserCannotWriteWaitsForItsHolder)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two users";
    const struct
    {
        const char* what;
        mode_t lockMode;
        BOOL afterItsHolder;
    } rows[] = {
        { "readable lock file", 0644, 1 },
        { "unreadable lock file", 0600, 0 },
    };
    const std::string lockFile = (m_dir / ".x.ini.lock").string();
    ASSERT_EQ(chmod(m_dir.c_str(), 0777), 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove(lockFile);
        WriteBytes(m_path, "[S]\r\nk=v\r\n");
        ASSERT_EQ(chmod(m_path.c_str(), 0666), 0);
        const int held = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(held, 0);
        ASSERT_EQ(fchmod(held, row.lockMode), 0);
        struct flock whole = {};
        whole.l_type = F_WRLCK;
        ASSERT_EQ(fcntl(held, F_OFD_SETLK, &whole), 0);
        EXPECT_EQ(WriteAsNobody(m_path, "held"), 0);
        EXPECT_EQ(ReadBytes(m_path), "[S]\r\nk=v\r\n");
        close(held); // the writer is gone, its lock file left behind
        EXPECT_EQ(WriteAsNobody(m_path, "left"), row.afterItsHolder);
        EXPECT_EQ(ReadBytes(m_path), row.afterItsHolder ? "[S]\r\nk=left\r\n" : "[S]\r\nk=v\r\n");
        struct stat lock = {};
        ASSERT_EQ(stat(lockFile.c_str(), &lock), 0);
        EXPECT_EQ(lock.st_uid, 0u);
        EXPECT_EQ(lock.st_mode & 07777, row.lockMode);
    }
}

// Where the system cannot set up the conversions, a UTF-16LE file can be neither read nor written:
// a read gives the default and a write is refused, leaving the file whole. Only ASCII text still
// passes between CP932 and UTF-8, so that an error saying so can be shown.
TEST_F(Profile, Utf16LeFileIsLeftAloneWithoutCodePageConversions)
{
    const std::string utf16 = "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0"s;
    WriteBytes(m_path, utf16);
    {
        const Restore keep(IconvOpenForConversions());
        IconvOpenForConversions() = [](const char*, const char*) {
            errno = EINVAL;
            return reinterpret_cast<iconv_t>(-1);
        };
        // A thread of its own sets up its conversions afresh, through the failing call.
        std::thread([&] {
            EXPECT_FALSE(CodePageConversionsWork());
            EXPECT_EQ(Cp932ToUtf8("iconv: CP932"), "iconv: CP932");
            EXPECT_EQ(Cp932ToUtf8("\x8B\xF3"), "");
            EXPECT_EQ(Cp932ToUtf16Le("k"), "");
            EXPECT_EQ(Get("S", "k", "d", m_path).text, "d");
            EXPECT_EQ(WritePrivateProfileStringA("S", "k", "w", m_path.c_str()), 0);
        }).join();
    }
    EXPECT_EQ(ReadBytes(m_path), utf16);
    EXPECT_EQ(Get("S", "k", "d", m_path).text, "v");
}

TEST_F(Profile, RefusesWriteWhenTheDiskIsFull)
{
    // A file size limit makes write() fail with EFBIG as a full disk fails with ENOSPC.
    const std::string before = "[S]\r\nk=v\r\n";
    WriteBytes(m_path, before);
    const int result = RunInChild([&] {
        const rlimit limit { 64, 64 };
        signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 99;
        return WritePrivateProfileStringA("S", "k", std::string(1000, 'w').c_str(), m_path.c_str());
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(m_path), before);
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string> { "x.ini" });
}

TEST_F(Profile, WritesThroughALinkKeepingPermissions)
{
    const std::string target = (m_dir / "real.ini").string();
    WriteBytes(target, "[S]\r\nk=v\r\n");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    fs::create_symlink("real.ini", m_path);

    ASSERT_EQ(WritePrivateProfileStringA("S", "k", "w", m_path.c_str()), 1);
    EXPECT_TRUE(fs::is_symlink(m_path));
    EXPECT_EQ(ReadBytes(target), "[S]\r\nk=w\r\n");
    struct stat st = {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(Profile, KilledWriterLeavesOldOrNewFile)
{
    const std::string start = "[S]\r\nk=start\r\n";
    const std::string a(300000, 'a'), b(100000, 'b');
    const std::vector<std::string> whole = { start, "[S]\r\nk=" + a + "\r\n",
        "[S]\r\nk=" + b + "\r\n" };
    for (int round = 0; round < 8; ++round) {
        WriteBytes(m_path, start);
        ForkedChild writer(fork());
        if (writer.InChild()) {
            for (int i = 0;; ++i)
                WritePrivateProfileStringA("S", "k", (i % 2 ? b : a).c_str(), m_path.c_str());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + 3 * round));
        writer.Kill();
        const std::string now = ReadBytes(m_path);
        EXPECT_TRUE(now == whole[0] || now == whole[1] || now == whole[2])
            << "round " << round << ": " << now.size() << " bytes";
    }
}

// Another program may change the file between two calls; the next read must see it.
TEST_F(Profile, SeesChangesByOtherPrograms)
{
    WriteBytes(m_path, "[S]\r\nk=1\r\n");
    EXPECT_EQ(Get("S", "k", "d", m_path).text, "1");
    WriteBytes(m_path, "[S]\r\nk=2\r\n"); // same size, same inode, at once
    EXPECT_EQ(Get("S", "k", "d", m_path).text, "2");

    // A settled file rewritten in place with its modification time put back.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(Get("S", "k", "d", m_path).text, "2");
    struct stat st = {};
    ASSERT_EQ(stat(m_path.c_str(), &st), 0);
    const int fd = open(m_path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, "3", 1, 7), 1);
    const timespec times[2] = { st.st_atim, st.st_mtim };
    ASSERT_EQ(futimens(fd, times), 0);
    close(fd);
    EXPECT_EQ(Get("S", "k", "d", m_path).text, "3");

    // Replaced by another file, then deleted.
    const std::string other = (m_dir / "other.ini").string();
    WriteBytes(other, "[S]\r\nk=4\r\n");
    ASSERT_EQ(rename(other.c_str(), m_path.c_str()), 0);
    EXPECT_EQ(Get("S", "k", "d", m_path).text, "4");
    fs::remove(m_path);
    EXPECT_EQ(Get("S", "k", "d", m_path).text, "d");

    // Inside a snapshot, reads keep to the file as first seen, but a write starts from the file as
    // it is: another program's change made meanwhile stays.
    WriteBytes(m_path, "[S]\r\nk=1\r\n");
    {
        const ProfileSnapshot snapshot(m_path.c_str());
        EXPECT_EQ(Get("S", "k", "d", m_path).text, "1");
        WriteBytes(m_path, "[S]\r\nk=2\r\n");
        EXPECT_EQ(Get("S", "k", "d", m_path).text, "1");
        EXPECT_EQ(WritePrivateProfileStringA("S", "j", "3", m_path.c_str()), 1);
    }
    EXPECT_EQ(ReadBytes(m_path), "[S]\r\nk=2\r\nj=3\r\n");
}

} // namespace
