#pragma once

// Private to the message boxes and their tests: what a box is asked to show, and a stand-in that
// answers the boxes in place of a person. The program never includes this header.

#include <functional>
#include <string>

#include "ui/boxes.h"

/// What a box was asked to show.
struct BoxRequest
{
    enum Kind { Information, Warning, Error } kind;
    std::string caption; // CP932
    std::string text; // CP932, as shown (the exception box's "." included)
    BoxButtons buttons;
    std::string utf8 = {}; // when set, the text shown, in UTF-8 (text then its CP932 form)
};

/// When set, every box is answered by this function instead of being shown.
std::function<int(const BoxRequest&)>& BoxAnswerHook();
