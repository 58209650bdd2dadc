#pragma once

// Private to the message boxes and their tests: what a box is asked to show, and a stand-in that
// answers the boxes in place of a person. The program never includes this header.

#include <functional>
#include <string>

#include <QString>

#include "ui/boxes.h"

/// What a box was asked to show.
struct BoxRequest
{
    enum Kind { Information, Warning, Error } kind;
    std::string caption; // CP932
    std::string text; // CP932, as shown (the exception box's "." included)
    // The text itself where it holds a character CP932 lacks (a name the user typed); the box
    // shows this one then, and text is its CP932 rendering.
    QString wide;
    BoxButtons buttons;
};

/// When set, every box is answered by this function instead of being shown.
std::function<int(const BoxRequest&)>& BoxAnswerHook();
