#include "settings/gimp_palette.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "colour/exception.h"
#include "platform/codepage.h"
#include "settings/palette_error.h"
#include "settings/css_palette.h"

namespace {

using namespace std::string_literals;

struct Colour
{
    int line;
    int red, green, blue;
    std::string name;
    bool operator==(const Colour&) const = default;
};

std::vector<Colour> Colours(const GimpPalette& palette)
{
    std::vector<Colour> out;
    for (const PaletteColour& c : palette.colours)
        out.push_back({ c.line, c.red, c.green, c.blue, c.name });
    return out;
}

void PrintTo(const Colour& c, std::ostream* os)
{
    *os << c.line << ": " << c.red << ' ' << c.green << ' ' << c.blue << " '" << c.name << "'";
}

struct ReadCase
{
    const char* what;
    std::string text;
    std::string name;
    std::vector<Colour> colours;
};

TEST(GimpPaletteRead, ReadsTheFormsGimpAccepts)
{
    const std::vector<ReadCase> cases = {
        { "as GIMP writes it", "GIMP Palette\nName: Warm\nColumns: 16\n#\n255 128   0\torange\n",
            "Warm", { { 5, 255, 128, 0, "orange" } } },
        { "header only", "GIMP Palette", "", {} },
        { "no Name or Columns", "GIMP Palette\n  0   0   0\tBlack\n", "",
            { { 2, 0, 0, 0, "Black" } } },
        { "CR LF", "GIMP Palette\r\nName: N\r\n1 2 3\tone\r\n4 5 6 two\r\n", "N",
            { { 3, 1, 2, 3, "one" }, { 4, 4, 5, 6, "two" } } },
        { "CR alone", "GIMP Palette\r1 2 3 a\r4 5 6 b", "",
            { { 2, 1, 2, 3, "a" }, { 3, 4, 5, 6, "b" } } },
        { "byte-order mark", "\xEF\xBB\xBFGIMP Palette\n1 2 3 x\n", "", { { 2, 1, 2, 3, "x" } } },
        { "comments and blank lines anywhere, Name later",
            "GIMP Palette\n\n# c\n1 1 1 a\n   \n  # indented\nName: Late\n\t\n2 2 2 b\n#\n", "Late",
            { { 4, 1, 1, 1, "a" }, { 9, 2, 2, 2, "b" } } },
        { "tabs and runs of blanks between numbers", "GIMP Palette\n\t10\t\t20  \t 30\t  name  \n",
            "", { { 2, 10, 20, 30, "name" } } },
        { "tab and # inside a name", "GIMP Palette\n1 2 3\tBlack\tOpaque #1\n", "",
            { { 2, 1, 2, 3, "Black\tOpaque #1" } } },
        { "Japanese name", "GIMP Palette\n135 206 235\t\xE7\xA9\xBA\xE8\x89\xB2\n", "",
            { { 2, 135, 206, 235, "\xE7\xA9\xBA\xE8\x89\xB2" } } },
        { "no name, and blanks only after the numbers", "GIMP Palette\n1 2 3\n4 5 6 \t\n", "",
            { { 2, 1, 2, 3, "" }, { 3, 4, 5, 6, "" } } },
        { "leading zeros and a plus sign", "GIMP Palette\n000 +255 0255 z\n", "",
            { { 2, 0, 255, 255, "z" } } },
        { "header with more after it", "GIMP Palette v2\n1 2 3 q\n", "", { { 2, 1, 2, 3, "q" } } },
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        const GimpPalette palette = ReadGimpPalette(c.text);
        EXPECT_EQ(palette.name, c.name);
        EXPECT_EQ(Colours(palette), c.colours);
    }
}

struct RefusalCase
{
    const char* what;
    std::string text;
    std::u8string message;
};

TEST(GimpPaletteRead, RefusesWhatIsNoPalette)
{
    const std::vector<RefusalCase> cases = {
        { "empty", "",
            u8"GIMP パレットではありません（1行目が「GIMP Palette」で始まっていません）" },
        { "header not first", "\nGIMP Palette\n",
            u8"GIMP パレットではありません（1行目が「GIMP Palette」で始まっていません）" },
        { "other case", "gimp palette\n",
            u8"GIMP パレットではありません（1行目が「GIMP Palette」で始まっていません）" },
        { "above 255", "GIMP Palette\n1 256 3 x\n", u8"2行目：色の値 256 が0〜255の範囲外です" },
        { "negative", "GIMP Palette\n# a\n-1 0 0 x\n", u8"3行目：色の値 -1 が0〜255の範囲外です" },
        { "huge", "GIMP Palette\n1 2 99999999999999999999\n",
            u8"2行目：色の値 999999999999… が0〜255の範囲外です" },
        { "two numbers", "GIMP Palette\n1 2\n",
            u8"2行目：色の値が三つそろっていません（赤・緑・青の順に0〜255の数を書きます）" },
        { "a word for a number", "GIMP Palette\r\n1 2 blue x\r\n",
            u8"2行目：色の値が三つそろっていません（赤・緑・青の順に0〜255の数を書きます）" },
        { "a fraction", "GIMP Palette\n1 2.5 3\n",
            u8"2行目：色の値が三つそろっていません（赤・緑・青の順に0〜255の数を書きます）" },
        { "Shift-JIS name", "GIMP Palette\n1 2 3 ok\n4 5 6 \x8B\xF3\n",
            u8"3行目：文字コードが UTF-8 ではありません。UTF-8 "
            u8"で保存し直してから読み込んでください" },
        { "overlong UTF-8", "GIMP Palette\n1 2 3 \xC0\xAF\n",
            u8"2行目：文字コードが UTF-8 ではありません。UTF-8 "
            u8"で保存し直してから読み込んでください" },
        { "UTF-8 surrogate", "GIMP Palette\n1 2 3 \xED\xA0\x80\n",
            u8"2行目：文字コードが UTF-8 ではありません。UTF-8 "
            u8"で保存し直してから読み込んでください" },
        { "cut sequence at the end", "GIMP Palette\n1 2 3 \xE7\xA9",
            u8"2行目：文字コードが UTF-8 ではありません。UTF-8 "
            u8"で保存し直してから読み込んでください" },
        { "UTF-16 file", "\xFF\xFEG\0I\0"s,
            u8"1行目：文字コードが UTF-8 ではありません。UTF-8 "
            u8"で保存し直してから読み込んでください" },
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            ReadGimpPalette(c.text);
            ADD_FAILURE() << "read";
        } catch (const PaletteError& e) {
            const std::string line = e.Line() > 0 ? std::to_string(e.Line()) + "行目：" : "";
            EXPECT_EQ(line + e.Reason(), std::string(c.message.begin(), c.message.end()));
        }
    }
}

TEST(GimpPaletteRead, TakesFilesUpTo16MiB)
{
    const std::string head = "GIMP Palette\n";
    const std::string line = "255 255 255\twhite\n";
    std::string text = head;
    while (text.size() + line.size() <= MaxPaletteBytes)
        text += line;
    text += std::string(MaxPaletteBytes - text.size(), '#'); // one comment line at the end
    ASSERT_EQ(text.size(), std::size_t { 16 } * 1024 * 1024);
    EXPECT_EQ(ReadGimpPalette(text).colours.size(), (text.size() - head.size()) / line.size());
    text += "#";
    EXPECT_THROW(ReadGimpPalette(text), Exception);
}

TEST(GimpPaletteWrite, WritesWhatGimpWrites)
{
    const std::vector<PaletteColour> colours = { { 0, 255, 128, 0, "orange" },
        { 0, 7, 70, 200, "\xE7\xA9\xBA" }, { 0, 0, 0, 0, "two\nlines\r" } };
    EXPECT_EQ(GimpPaletteText("My colours", colours),
        "GIMP Palette\nName: My colours\nColumns: 16\n#\n"
        "255 128   0\torange\n"
        "  7  70 200\t\xE7\xA9\xBA\n"
        "  0   0   0\ttwo lines \n");
    // What it writes reads back the same.
    const GimpPalette back = ReadGimpPalette(GimpPaletteText("N", colours));
    ASSERT_EQ(back.colours.size(), 3u);
    EXPECT_EQ(back.name, "N");
    EXPECT_EQ(back.colours[1].name, "\xE7\xA9\xBA");
    EXPECT_EQ(back.colours[2].name, "two lines");
}

TEST(CssPalette, OnePropertyPerColourWithUniqueNames)
{
    const std::vector<PaletteColour> colours = {
        { 0, 255, 128, 0, "orange" },
        { 0, 255, 128, 1, "Orange" }, // properties are case-sensitive: no clash
        { 0, 1, 2, 3, "orange" },
        { 0, 1, 2, 3, "orange-2" }, // a name that looks like a suffix taken by a clash
        { 0, 135, 206, 235, "\xE7\xA9\xBA\xE8\x89\xB2 (sky)" }, { 0, 0, 0, 0, "a */ b; c: {d}" },
        { 0, 16, 32, 48, "!!!" },
        { 0, 16, 32, 48, "1st\xE3\x80\x80half" }, // an ideographic space is no identifier
    };
    EXPECT_EQ(CssPaletteText(colours),
        "@charset \"UTF-8\";\n"
        ":root {\n"
        "  --orange: #FF8000; /* orange */\n"
        "  --Orange: #FF8001; /* Orange */\n"
        "  --orange-2: #010203; /* orange */\n"
        "  --orange-2-2: #010203; /* orange-2 */\n"
        "  --\xE7\xA9\xBA\xE8\x89\xB2-sky: #87CEEB; /* \xE7\xA9\xBA\xE8\x89\xB2 (sky) */\n"
        "  --a-b-c-d: #000000; /* a * / b; c: {d} */\n"
        "  --color: #102030; /* !!! */\n"
        "  --1st-half: #102030; /* 1st\xE3\x80\x80half */\n"
        "}\n");
}

} // namespace
