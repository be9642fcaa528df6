// Copying and moving whole folder trees, depth first, with a report line for
// every folder made and every file handled.
#pragma once

// 0 when the whole folder level was walked, 1 when it stopped early.
using WalkResult = int;

// Counts the folder levels that stopped early anywhere in a walk, nested ones
// included (their parents carry on and still return 0).
struct WalkTally {
    unsigned failedLevels;
};

// Recreates `source` (a folder path without a trailing separator) as
// `destination` and copies every file of its tree into it, replacing existing
// files. A destination that is the source itself or lies inside its tree is
// refused before anything is made.
WalkResult CopyDirectory(const char* source, const char* destination, WalkTally* tally);

// The same, moving each file. The source folders stay behind, emptied.
WalkResult MoveDirectory(const char* source, const char* destination, WalkTally* tally);
