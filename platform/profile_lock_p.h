#pragma once

// What the tests of the profile lock reach inside it. Not part of the program's interface:
// included by profile_lock.cpp and by tests only.

#include <chrono>

/// How long a writer waits for another's lock before giving up (a few seconds; tests shorten it).
std::chrono::milliseconds& ProfileLockTimeout();
