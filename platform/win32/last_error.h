// The last error of the Win32 layer: a system error code kept at the failing
// call (and given back to GetLastError), or one of the layer's own codes for
// failures the system has no word for.
#pragma once

#include <windows.h>

// Application-defined codes carry bit 29, so they never meet a system code.
inline constexpr DWORD kErrorSameFile = 0x20000001;

// Keeps `code` as the last error and returns false, for `return Fail(...)`.
bool Fail(DWORD code);
// Keeps GetLastError() as the last error and returns false.
bool FailWithLastError();
