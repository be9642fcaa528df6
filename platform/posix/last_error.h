// The last error of the POSIX layer: an errno value kept at the failing call,
// or one of the layer's own codes for failures errno has no word for.
#pragma once

inline constexpr int kErrorSameFile = -1;     // source and destination are one file
inline constexpr int kErrorSpecialFile = -2;  // a FIFO, socket or device

// Keeps `code` as the last error and returns false, for `return Fail(...)`.
bool Fail(int code);
// Keeps the current errno as the last error and returns false.
bool FailWithErrno();
