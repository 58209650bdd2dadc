#pragma once

#include <string>

/// A level's threshold as a ratio: "3:1", "4.5:1", "7:1".
std::string ThresholdText(double threshold);
