#pragma once

// Tests that need file permissions to bind them, as they bind the program's users, continue as the
// user nobody when started as root.

#include <cstdio>
#include <cstdlib>

#include <grp.h>
#include <sys/prctl.h>
#include <sys/types.h>
#include <unistd.h>

constexpr uid_t NobodyId = 65534;
constexpr gid_t NobodyGroupId = 65534;

/// Started as root, continues as nobody, without root's group or its supplementary groups (any of
/// which could still open a file to the process); does nothing otherwise. False when the drop
/// fails.
inline bool DropRootToNobody()
{
    if (::geteuid() != 0)
        return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(NobodyGroupId) == 0 && ::setuid(NobodyId) == 0;
}

/// The whole test process continues as nobody (ending it when that fails). It stays dumpable, so
/// the leak checker can still inspect it at exit, and its home is the temporary directory. Call
/// before the application object exists.
inline void RunAsOrdinaryUser()
{
    if (::geteuid() != 0)
        return;
    if (!DropRootToNobody()) {
        std::perror("dropping root");
        std::exit(1);
    }
    ::prctl(PR_SET_DUMPABLE, 1);
    ::setenv("HOME", "/tmp", 1);
}
