/* Marks for the benchmark's profile run: the Python side calls these through ctypes
 * so that callgrind counts the render alone, whatever threads run it. Outside
 * valgrind the client requests are a few no-op instructions. */
#include <valgrind/callgrind.h>

#define MARK_EXPORT __attribute__((visibility("default")))

/* Forgets every count so far, on every thread. */
MARK_EXPORT void korvane_profile_zero(void) { CALLGRIND_ZERO_STATS; }

/* Writes the counts since the last zero to a new profile file. */
MARK_EXPORT void korvane_profile_dump(void) { CALLGRIND_DUMP_STATS_AT("render"); }

/* 1 under valgrind, else 0. */
MARK_EXPORT int korvane_profile_running(void) { return RUNNING_ON_VALGRIND ? 1 : 0; }
