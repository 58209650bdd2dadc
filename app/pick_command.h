#pragma once

#include <string>

/// tintora --pick: picks one colour from the screen without showing the window and prints it as
/// #RRGGBB; with frozen (--pick-frozen), in the picking view on a frame of the screen. Exit 0 with a colour, 1 when the user cancelled, 2 when no pick could be made (the
/// reason on standard error). argc and argv are the program's, for Qt's application object.
int RunPickCommand(int& argc, char* argv[], bool frozen);

/// tintora --pick-from FILE: opens the picking view on an image file in a window of its own and
/// prints the colour taken as #RRGGBB, with the exit statuses of --pick. A file that cannot be
/// opened as an image gives one line naming it on standard error and exit status 2, at once
/// (before anything of the display).
int RunPickFromCommand(const std::string& file, int& argc, char* argv[]);
