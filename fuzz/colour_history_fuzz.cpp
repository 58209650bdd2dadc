// Reading the recent colours' file, on arbitrary bytes: nothing crashes, at most the limit of
// colours each once with components 0 to 255, a damaged line is named exactly when the file is
// damaged, and the text written for the colours reads back as the same colours, undamaged.

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "settings/colour_history.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ColourHistory history = ParseColourHistory(text);
    FUZZ_CHECK(history.state != ColourHistory::State::Unreadable);
    FUZZ_CHECK(history.colours.size() <= ColourHistoryLimit);
    FUZZ_CHECK((history.state == ColourHistory::State::Damaged) == (history.damagedLine > 0));
    for (std::size_t i = 0; i < history.colours.size(); ++i) {
        const Rgb& c = history.colours[i];
        FUZZ_CHECK(c.red >= 0 && c.red <= 255 && c.green >= 0 && c.green <= 255 && c.blue >= 0
            && c.blue <= 255);
        FUZZ_CHECK(
            std::find(history.colours.begin() + static_cast<long>(i) + 1, history.colours.end(), c)
            == history.colours.end());
    }
    const ColourHistory again = ParseColourHistory(ColourHistoryText(history.colours));
    FUZZ_CHECK(again.state == ColourHistory::State::Read);
    FUZZ_CHECK(again.colours == history.colours);
    return 0;
}
