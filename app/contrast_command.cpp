#include "app/contrast_command.h"

#include <cstdio>
#include <optional>
#include <string>

#include "app/colour_argument.h"
#include "app/console.h"
#include "app/contrast_arguments.h"
#include "colour/colour_forms.h"
#include "colour/contrast.h"
#include "colour/contrast_suggestions.h"
#include "platform/codepage.h"

namespace {

std::string LevelLines(double ratio)
{
    std::string lines = RatioText(ratio) + "\n";
    for (const ContrastLevel level : AllContrastLevels) {
        lines += ContrastLevelName(level) + Sjis(u8"（") + ThresholdText(ThresholdOf(level))
            + Sjis(u8"以上）: ")
            + (Passes(ratio, level) ? Sjis(u8"満たしています") : Sjis(u8"満たしていません")) + "\n";
    }
    return lines;
}

} // namespace

int RunContrastCommand(const CommandLine& command)
{
    std::string reason;
    std::optional<Rgb> foreground = ReadColourArgument(command.value, reason);
    std::optional<Rgb> background =
        foreground ? ReadColourArgument(command.secondValue, reason) : std::nullopt;
    if (!foreground || !background) {
        return ReportFailure(reason);
    }
    ContrastLevel level = ContrastLevel::NormalAA;
    if (command.level) {
        const std::optional<ContrastLevel> named = ReadLevelArgument(*command.level, reason);
        if (!named) {
            return ReportFailure(reason);
        }
        level = *named;
    }
    if (command.vision) {
        const std::optional<VisionArgument> vision = ReadVisionArgument(*command.vision, reason);
        if (!vision) {
            return ReportFailure(reason);
        }
        foreground = SimulateVision(*foreground, vision->kind, vision->severity);
        background = SimulateVision(*background, vision->kind, vision->severity);
    }

    if (command.suggest) {
        std::string lines;
        for (const ContrastSuggestion& suggestion :
            SuggestContrast(*foreground, *background, level)) {
            lines += ColourForms(suggestion.colour)[0] + "\n";
        }
        if (lines.empty()) {
            return 1;
        }
        return PrintResult(lines);
    }
    const double ratio = ContrastRatio(*foreground, *background);
    const int printed = PrintResult(LevelLines(ratio));
    return printed != 0 ? printed : Passes(ratio, level) ? 0 : 1;
}
