#pragma once

/// tintora --history: prints the colours taken last, newest first, one upper-case #RRGGBB a line
/// (nothing when there are none yet). Exit 0; 1 when some lines of the history file are no colour
/// (the others printed, the first such line named on standard error); 2 when the file cannot be
/// read (one line on standard error).
int RunHistoryCommand();
