// For the platform implementations: every listing begins with "." and "..",
// whatever order the filesystem keeps (or whether it lists them at all).
#pragma once

#include <cstring>

#include "platform/platform.h"

// Fills `entry` with "." or ".." while fewer than two entries were handed
// out, counting them in `yielded`; false once both are out.
inline bool NextDotEntry(int* yielded, FolderEntry* entry) {
    if (*yielded >= 2) return false;
    std::strcpy(entry->name, *yielded == 0 ? "." : "..");
    entry->attributes = kAttributeDirectory;
    ++*yielded;
    return true;
}

inline bool IsDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}
