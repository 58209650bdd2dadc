#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/string_list.h"

using namespace std::string_literals;

// The strings share one buffer: each must come back with exactly its own bytes, however the
// neighbouring strings end (empty ones, NUL bytes, CP932 double-byte characters).
TEST(StringList, GivesBackEachStringWithItsOwnBytes)
{
    const std::vector<std::string> strings = { "", "FF8000orange", ""s, "a\0b"s, "\x8B\xF3\x90\x46",
        std::string(1023, 'x'), "" };
    TStringList list;
    list.reserve(2, 4); // less than needed: the list grows past its reserve
    for (const std::string& s : strings)
        list.push_back(s);
    ASSERT_EQ(list.size(), strings.size());
    for (std::size_t i = 0; i < strings.size(); ++i)
        EXPECT_EQ(list[i], strings[i]) << "string " << i;
    EXPECT_EQ(std::vector<std::string>(list.begin(), list.end()), strings);
    EXPECT_EQ(list, TStringList(strings.begin(), strings.end()));

    const TStringList copy = list;
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(copy[1], "FF8000orange");
}

// Equal lists hold the same strings, not merely the same bytes.
TEST(StringList, ListsAreEqualOnlyStringForString)
{
    EXPECT_EQ((TStringList { "ab", "c" }), (TStringList { "ab", "c" }));
    EXPECT_NE((TStringList { "ab", "c" }), (TStringList { "a", "bc" }));
    EXPECT_NE((TStringList { "abc" }), (TStringList { "abc", "" }));
    EXPECT_NE(TStringList {}, (TStringList { "" }));
}
