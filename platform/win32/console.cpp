// Standard output, console attributes, last error and the failure message box
// on Win32.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/win32/last_error.h"

namespace {

constexpr int kDefaultAttribute = 7;  // grey on black, when the console cannot be asked

DWORD gLastError = ERROR_SUCCESS;
bool gConsoleOutput = false;  // standard output is a console, not a file or pipe
char gOutputBuffer[4096];

const char* OwnText(DWORD code) {
    switch (code) {
        case kErrorSameFile: return "Source and destination are the same file.\r\n";
        default: return nullptr;
    }
}

}  // namespace

bool Fail(DWORD code) {
    gLastError = code;
    SetLastError(code);
    return false;
}

bool FailWithLastError() { return Fail(GetLastError()); }

void PlatformStartOutput() {
    DWORD mode;
    gConsoleOutput = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
    if (gConsoleOutput) {
        std::setvbuf(stdout, nullptr, _IONBF, 0);
    } else {
        std::setvbuf(stdout, gOutputBuffer, _IOFBF, sizeof gOutputBuffer);
    }
}

void PlatformSetNameTooLong() { Fail(ERROR_FILENAME_EXCED_RANGE); }

bool PlatformLastErrorIsNameTooLong() { return gLastError == ERROR_FILENAME_EXCED_RANGE; }

char* PlatformSystemText() {
    if (const char* own = OwnText(gLastError)) {
        const std::size_t size = std::strlen(own) + 1;
        char* text = static_cast<char*>(LocalAlloc(LMEM_FIXED, size));
        if (text != nullptr) std::memcpy(text, own, size);
        return text;
    }
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
        nullptr, gLastError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<LPSTR>(&text), 0, nullptr);
    return length == 0 ? nullptr : text;
}

void PlatformReleaseText(char* text) {
    if (text != nullptr) LocalFree(text);
}

int PlatformConsoleAttribute() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!gConsoleOutput || !GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) {
        return kDefaultAttribute;
    }
    return info.wAttributes;
}

void PlatformSetConsoleAttribute(int attribute) {
    // A file or pipe takes no attribute (the call would fail), and its
    // output stays in the 4096-byte buffer.
    if (!gConsoleOutput) return;
    // The attribute is not part of the byte stream: what was written before
    // must reach the console in the old one.
    std::fflush(stdout);
    SetConsoleTextAttribute(GetStdHandle(STD_OUTPUT_HANDLE), static_cast<WORD>(attribute));
}

void ShowFailureMessage(const char* text, const char* caption) {
    std::fflush(stdout);
    MessageBoxA(nullptr, text, caption, MB_ICONERROR);
}
