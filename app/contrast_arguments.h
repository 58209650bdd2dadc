#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "colour/colour_vision.h"
#include "colour/contrast.h"

/// A vision to simulate, as --vision names it.
struct VisionArgument
{
    VisionKind kind = VisionKind::Protan;
    double severity = 1.0;
};

/// Reads KIND[:SEVERITY] (KIND protan, deutan, tritan or achroma in any case; SEVERITY a decimal
/// number from 0.1 to 1, 1 when left out). Without one, reason receives why (CP932).
std::optional<VisionArgument> ReadVisionArgument(std::string_view utf8, std::string& reason);

/// Reads a level as --level names it: AA, AAA (normal text), AA-large, AAA-large, ui (non-text
/// components), in any case. Without one, reason receives why (CP932).
std::optional<ContrastLevel> ReadLevelArgument(std::string_view utf8, std::string& reason);
