// Standard output, console colours, last error and failure messages on POSIX.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/last_error.h"

namespace {

constexpr int kDefaultAttribute = 7;  // grey on black: the terminal's own colours

int gLastError = 0;
bool gColourOutput = false;
int gAttribute = kDefaultAttribute;
char gOutputBuffer[4096];

const char* ColourSequence(int attribute) {
    switch (attribute) {
        case 4: return "\x1b[31m";
        case 12: return "\x1b[91m";
        case 14: return "\x1b[93m";
        default: return "\x1b[0m";
    }
}

}  // namespace

bool Fail(int code) {
    gLastError = code;
    return false;
}

bool FailWithErrno() { return Fail(errno); }

void PlatformStartOutput() {
    const bool terminal = isatty(STDOUT_FILENO) == 1;
    if (terminal) {
        // Each line reaches the terminal as soon as it is complete. The colour
        // sequences travel in the same stream, so nothing arrives out of order.
        std::setvbuf(stdout, gOutputBuffer, _IOLBF, sizeof gOutputBuffer);
    } else {
        std::setvbuf(stdout, gOutputBuffer, _IOFBF, sizeof gOutputBuffer);
    }
    const char* noColour = std::getenv("NO_COLOR");
    gColourOutput = terminal && (noColour == nullptr || noColour[0] == '\0');
}

void PlatformSetNameTooLong() { gLastError = ENAMETOOLONG; }

bool PlatformLastErrorIsNameTooLong() { return gLastError == ENAMETOOLONG; }

char* PlatformSystemText() {
    const char* words;
    switch (gLastError) {
        case kErrorSameFile: words = "Source and destination are the same file"; break;
        case kErrorSpecialFile: words = "Not a regular file, folder or link (FIFO, socket or device)"; break;
        default: words = std::strerror(gLastError); break;
    }
    const std::size_t length = std::strlen(words);
    char* text = static_cast<char*>(std::malloc(length + 2));
    if (text == nullptr) return nullptr;
    std::memcpy(text, words, length);
    text[length] = '\n';
    text[length + 1] = '\0';
    return text;
}

void PlatformReleaseText(char* text) { std::free(text); }

int PlatformConsoleAttribute() { return gAttribute; }

void PlatformSetConsoleAttribute(int attribute) {
    gAttribute = attribute;
    if (gColourOutput) std::fputs(ColourSequence(attribute), stdout);
}

void ShowFailureMessage(const char* text, const char* caption) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", caption, text);
}
