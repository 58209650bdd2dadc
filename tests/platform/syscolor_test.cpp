#include "platform/syscolor.h"

#include <gtest/gtest.h>

namespace {

// A desktop that names the face and the window text only, one of them with a stray top byte.
std::optional<DWORD> FaceAndTextOnly(int index)
{
    switch (index) {
    case 15:
        return 0x00302010;
    case 8:
        return 0xFFF0E0D0;
    default:
        return std::nullopt;
    }
}

std::optional<DWORD> Everything(int)
{
    return 0x00123456;
}

class SysColorSourceGuard : public testing::Test
{
protected:
    ~SysColorSourceGuard() override { SetSysColorSource(nullptr); }
};

TEST_F(SysColorSourceGuard, ClassicSchemeWithoutDesktopAndForWhatItDoesNotName)
{
    const struct
    {
        int index;
        DWORD classic;
        DWORD withFaceAndText;
    } rows[] = {
        { 15, 0x00C0C0C0, 0x00302010 }, // the 3-D face
        { 8, 0x00000000, 0x00F0E0D0 }, // window text: only the colour, never the top byte
        { 5, 0x00FFFFFF, 0x00FFFFFF }, // window: not named, classic
        { 24, 0x00E1FFFF, 0x00E1FFFF }, // tool-tip background
        { 30, 0x00C0C0C0, 0x00C0C0C0 }, // the last element
        { 31, 0, 0 }, // unknown indexes stay black, the source is not asked
        { -1, 0, 0 },
        { 255, 0, 0 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        SetSysColorSource(nullptr);
        EXPECT_EQ(GetSysColor(row.index), row.classic);
        SetSysColorSource(FaceAndTextOnly);
        EXPECT_EQ(GetSysColor(row.index), row.withFaceAndText);
    }
}

TEST_F(SysColorSourceGuard, RemovingTheSourceGoesBackToClassic)
{
    SetSysColorSource(Everything);
    EXPECT_EQ(GetSysColor(0), 0x00123456u);
    EXPECT_EQ(GetSysColor(32), 0u);
    SetSysColorSource(nullptr);
    EXPECT_EQ(GetSysColor(0), 0x00C0C0C0u);
}

} // namespace
