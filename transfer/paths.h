// Bounded path building. Nothing here ever truncates: a path that would not
// fit its buffer is refused, and the caller reports "name too long".
#pragma once

#include <cstddef>

#include "platform/platform.h"

// out = first followed directly by second. False (out left empty) when it does
// not fit.
bool ConcatenatePath(PathText* out, const char* first, const char* second);

// Appends one separator and `name` to the path of `*length` bytes held in
// `path` (whether or not it already ends in a separator). False, with path and
// length unchanged, when the result would not fit.
bool AppendName(PathText* path, std::size_t* length, const char* name);

// Cuts the path back to `length` bytes (undoing AppendName).
void CutPath(PathText* path, std::size_t* length, std::size_t newLength);

// The item's name: the dropped path's last component, whole. False when the
// path ends in a separator or has no name.
bool TakeTitle(const char* droppedPath, PathText* title);
