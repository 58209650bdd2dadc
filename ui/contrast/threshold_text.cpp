#include "ui/contrast/threshold_text.h"

#include <cstdio>

std::string ThresholdText(double threshold)
{
    // The thresholds have at most one decimal: "%g" writes them without trailing zeros.
    char text[16];
    std::snprintf(text, sizeof text, "%g:1", threshold);
    return text;
}
