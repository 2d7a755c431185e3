#pragma once
// Stops a (forked) test process just before one of its file changes, as a kill would: the
// writes, truncations, renames and deletions of the program's own file code are counted,
// and the process ends before the one chosen. Linking this replaces those calls for the
// whole test program; nothing changes until a stop is armed.
#include <cstdint>

namespace sw::test {

// The exit status of a process that was stopped.
inline constexpr int kStoppedExit = 86;

// The process ends before its `change`-th file change from now (0: the next one). With
// `torn`, a write that spans a page boundary first lands the part before it, as a kill in
// the middle of that write can leave it.
void StopBeforeChange(std::int64_t change, bool torn);
// No stop: every change happens.
void NeverStop();

} // namespace sw::test
