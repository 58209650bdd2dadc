#include "app/print_command.h"

#include <optional>
#include <string>

#include "app/colour_argument.h"
#include "app/console.h"
#include "colour/colour_forms.h"

int RunPrintCommand(std::string_view colour)
{
    std::string reason;
    const std::optional<Rgb> rgb = ReadColourArgument(colour, reason);
    if (!rgb) {
        return ReportFailure(reason);
    }
    std::string lines;
    for (const std::string& form : ColourForms(*rgb)) {
        lines += form + "\n";
    }
    return PrintResult(lines);
}
