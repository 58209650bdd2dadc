#pragma once

/// tintora --pick: picks one colour from the screen without showing the window and prints it as
/// #RRGGBB; with frozen (--pick-frozen), in the picking view on a frame of the screen. Exit 0 with a colour, 1 when the user cancelled, 2 when no pick could be made (the
/// reason on standard error). argc and argv are the program's, for Qt's application object.
int RunPickCommand(int& argc, char* argv[], bool frozen);
