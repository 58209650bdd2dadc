#include "app/print_command.h"

#include <optional>
#include <string>

#include "app/colour_argument.h"
#include "app/console.h"
#include "app/contrast_arguments.h"
#include "colour/colour_forms.h"

int RunPrintCommand(std::string_view colour, const std::optional<std::string>& vision)
{
    std::string reason;
    std::optional<Rgb> rgb = ReadColourArgument(colour, reason);
    if (!rgb) {
        return ReportFailure(reason);
    }
    if (vision) {
        const std::optional<VisionArgument> seenBy = ReadVisionArgument(*vision, reason);
        if (!seenBy) {
            return ReportFailure(reason);
        }
        rgb = SimulateVision(*rgb, seenBy->kind, seenBy->severity);
    }
    std::string lines;
    for (const std::string& form : ColourForms(*rgb)) {
        lines += form + "\n";
    }
    return PrintResult(lines);
}
