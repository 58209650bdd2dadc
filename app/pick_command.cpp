#include "app/pick_command.h"

#include <cstdio>

int RunPickCommand(int&, char*[])
{
    std::fputs("tintora: --pick is not available yet\n", stderr);
    return 2;
}
