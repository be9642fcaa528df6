#include "console/console.h"

#include <cstdio>
#include <cstring>

#include "console/glyphs.h"
#include "platform/platform.h"

char* lastErrorText = nullptr;

namespace {

constexpr int kBorderInnerWidth = 77;
constexpr int kLineTextWidth = 74;

void DrawBorder(const char* left, const char* right, int attribute) {
    PrintColored(left, attribute);
    for (int column = 0; column < kBorderInnerWidth; ++column) {
        PrintColored(kGlyphHorizontal, attribute);
    }
    PrintColored(right, attribute);
    std::printf("\n");
}

void WriteErrorHeadAndText(const char* format) {
    FormatLastError();
    PrintColored("Error: ", COLOR_ERROR);
    std::printf(format, lastErrorText != nullptr ? lastErrorText : "(null)");
}

}  // namespace

void PrintColored(const char* text, int attribute) {
    const int held = PlatformConsoleAttribute();
    PlatformSetConsoleAttribute(attribute);
    std::printf("%s", text);
    PlatformSetConsoleAttribute(held);
}

void DrawBoxTop(int attribute) { DrawBorder(kGlyphTopLeft, kGlyphTopRight, attribute); }

void DrawBoxBottom(int attribute) { DrawBorder(kGlyphBottomLeft, kGlyphBottomRight, attribute); }

void DrawBoxLine(const char* text, int attribute) {
    char leftEdge[16];
    std::snprintf(leftEdge, sizeof leftEdge, "%s   ", kGlyphVertical);
    PrintColored(leftEdge, attribute);
    std::printf("%s", text);
    for (long fill = kLineTextWidth - static_cast<long>(std::strlen(text)); fill > 0; --fill) {
        std::printf(" ");
    }
    PrintColored(kGlyphVertical, attribute);
    std::printf("\n");
}

void FormatLastError() {
    char* text = PlatformSystemText();
    if (text == nullptr) {
        std::printf("ERROR: Failed to FormatLastError!\n");
        return;
    }
    PlatformReleaseText(lastErrorText);
    lastErrorText = text;
}

void WriteErrorLine() { WriteErrorHeadAndText("%s\n"); }

void WriteErrorLineDirectoryForm() { WriteErrorHeadAndText("%s"); }
