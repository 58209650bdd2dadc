#pragma once

#include <string_view>

/// How many words of the command line a Qt option takes, counting itself: 1 for a switch such as
/// -reverse or a joined form such as -style=fusion, 2 for an option whose value is the next word
/// such as -platform xcb, 0 when the word is not one of Qt's options. One dash or two, as Qt reads
/// them.
int QtOptionWords(std::string_view word);
