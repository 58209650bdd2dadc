#include "app/print_command.h"

#include <optional>
#include <string>

#include "app/colour_argument.h"
#include "app/console.h"
#include "app/contrast_arguments.h"
#include "app/quoted_argument.h"
#include "colour/colour_forms.h"
#include "platform/codepage.h"

int RunPrintCommand(std::string_view colour, std::optional<std::string_view> format,
    const std::optional<std::string>& vision)
{
    std::optional<ColourForm> form;
    if (format) {
        form = ColourFormNamed(*format);
        if (!form) {
            return ReportFailure(Sjis(u8"--format の形が不明です: ") + QuotedArgument(*format)
                + Sjis(u8"（hex、bare、rgb、hsl、triple、oklch のどれかです）"));
        }
    }
    std::string reason;
    bool outOfGamut = false;
    std::optional<Rgb> rgb = ReadColourArgument(colour, reason, &outOfGamut);
    if (!rgb) {
        return ReportFailure(reason);
    }
    if (outOfGamut) {
        ReportFailure(OutOfGamutNote());
    }
    if (vision) {
        const std::optional<VisionArgument> seenBy = ReadVisionArgument(*vision, reason);
        if (!seenBy) {
            return ReportFailure(reason);
        }
        rgb = SimulateVision(*rgb, seenBy->kind, seenBy->severity);
    }
    if (form) {
        return PrintResult(ColourFormOf(*rgb, *form) + "\n");
    }
    std::string lines;
    for (const std::string& line : ColourForms(*rgb)) {
        lines += line + "\n";
    }
    return PrintResult(lines);
}
