#include "colour/named_colors.h"

#include <set>
#include <string_view>

#include <gtest/gtest.h>

namespace {

TEST(NamedColorTable, HoldsTheListedNamesAndCodes)
{
    const NamedColor expected[] = {
        { "aquamarine", "70DB93" },
        { "madium aquamarine", "32CC99" },
        { "black", "000000" },
        { "blue", "0000FF" },
        { "cadet blue", "5F9F9F" },
        { "cornflower blue", "42426F" },
        { "dark slate blue", "6B23BE" },
        { "light blue", "BFD8D8" },
        { "light steel blue", "8F8FBC" },
        { "medium blue", "3232CC" },
        { "medium slate blue", "7F00FF" },
        { "midnight blue", "2F2F4F" },
        { "navy blue", "23238E" },
        { "sky blue", "3299CC" },
        { "slate blue", "007FFF" },
        { "firebrick", "8E2323" },
        { "brown", "A52A2A" },
        { "gold", "CC7F32" },
        { "goldenrod", "DBDB70" },
        { "mediumgoldenrod", "EAEAAD" },
        { "green", "00FF00" },
        { "dark green", "2F4F2F" },
        { "dark olive green", "4F4F2F" },
        { "forest green", "238E23" },
        { "lime green", "32CC32" },
        { "medium forest green", "6B8E23" },
        { "medium sea green", "426F42" },
        { "medium spring green", "7FFF00" },
        { "pale green", "8FBC8F" },
        { "sea green", "238E6B" },
        { "spring green", "00FF7F" },
        { "yellow green", "99CC32" },
        { "dark slate grey", "2F4F4F" },
        { "dim grey", "545454" },
        { "light grey", "A8A8A8" },
        { "grey", "C0C0C0" },
        { "khaki", "9F9F5F" },
        { "magenta", "FF00FF" },
        { "maroom", "8E236B" },
        { "orange", "FFA500" },
        { "orchid", "DB70DB" },
        { "dark orchid", "9932CC" },
        { "medium orchid", "9370DB" },
        { "pink", "BC8F8F" },
        { "plum", "F3ADEA" },
        { "red", "FF0000" },
        { "indian red", "4F2F2F" },
        { "medium violet red", "DB7093" },
        { "orange red", "FF007F" },
        { "violet red", "CC3299" },
        { "salmon", "6F4242" },
        { "sienna", "8E6B23" },
        { "tan", "CD853F" },
        { "thistle", "D8BFD8" },
        { "turquoise", "ADEAEA" },
        { "dark turquoise", "7093DB" },
        { "medium turquise", "70DBDB" },
        { "violet", "4F2F4F" },
        { "blue violet", "9F5F9F" },
        { "wheat", "D8D8BF" },
        { "white", "FCFCFC" },
        { "yellow", "FFFF00" },
        { "green yellow", "93DB70" },
    };
    ASSERT_EQ(std::size(expected), NamedColorTable.size());
    for (std::size_t i = 0; i < NamedColorTable.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(NamedColorTable[i].name, expected[i].name);
        EXPECT_EQ(NamedColorTable[i].hex, expected[i].hex);
    }
}

TEST(NamedColorTable, CodesAllDiffer)
{
    std::set<std::string_view> codes;
    for (const auto& row : NamedColorTable) {
        EXPECT_TRUE(codes.insert(row.hex).second) << row.hex;
    }
}

} // namespace
