#include <gtest/gtest.h>

#include <string>

#include "console/console.h"
#include "console/glyphs.h"
#include "platform/platform.h"
#include "unit/stdout_capture.h"

namespace {

#ifdef _WIN32
const std::string kNewline = "\r\n";  // the runtime's text mode
#else
const std::string kNewline = "\n";
#endif

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

// A system text as the error line writes it, ending in its own line break.
// The words are the system's: on Windows they are checked by shape only.
void ExpectErrorLine(const std::string& written, const std::string& posixWords, bool lineForm) {
    const std::string head = "Error: ";
    ASSERT_EQ(written.substr(0, head.size()), head);
#ifdef _WIN32
    (void)posixWords;
    // The text ends in "\r\n", whose "\n" text mode writes as "\r\n" again.
    const std::string end = lineForm ? "\r\r\n\r\n" : "\r\r\n";
    ASSERT_GT(written.size(), head.size() + end.size());
    EXPECT_EQ(written.substr(written.size() - end.size()), end) << written;
#else
    EXPECT_EQ(written, head + posixWords + "\n" + (lineForm ? "\n" : ""));
#endif
}

TEST(Panel, BordersAreSeventyNineGlyphsWide) {
    StdoutCapture capture;
    DrawBoxTop(COLOR_PANEL);
    DrawBoxBottom(COLOR_PANEL);
    EXPECT_EQ(capture.Finish(),
              kGlyphTopLeft + Repeat(kGlyphHorizontal, 77) + kGlyphTopRight + kNewline +
                  kGlyphBottomLeft + Repeat(kGlyphHorizontal, 77) + kGlyphBottomRight + kNewline);
}

TEST(Panel, LinesAreFilledToTheRightEdgeOrPushItOut) {
    struct Case {
        std::string text;
        int fillerSpaces;
    };
    const Case cases[] = {
        {" ", 73},
        {"Usage:", 68},
        {std::string(74, 'x'), 0},
        {std::string(75, 'x'), 0},
        {"", 74},
    };
    for (const Case& c : cases) {
        StdoutCapture capture;
        DrawBoxLine(c.text.c_str(), COLOR_PANEL);
        EXPECT_EQ(capture.Finish(), std::string(kGlyphVertical) + "   " + c.text +
                                        std::string(c.fillerSpaces, ' ') + kGlyphVertical + kNewline)
            << "text of " << c.text.size() << " bytes";
    }
}

TEST(ErrorLine, LineFormLeavesAnEmptyLineAfterTheSystemText) {
    ASSERT_FALSE(MakeFolder("."));  // exists
    StdoutCapture capture;
    WriteErrorLine();
    ExpectErrorLine(capture.Finish(), "File exists", /*lineForm=*/true);
}

TEST(ErrorLine, DirectoryFormEndsWithTheSystemTextsOwnLineBreak) {
    ASSERT_FALSE(MakeFolder("no-such-parent-of-kelto/child"));
    StdoutCapture capture;
    WriteErrorLineDirectoryForm();
    ExpectErrorLine(capture.Finish(), "No such file or directory", /*lineForm=*/false);
}

TEST(ErrorLine, NameTooLongHasTheSystemsWords) {
    PlatformSetNameTooLong();
    StdoutCapture capture;
    WriteErrorLine();
    ExpectErrorLine(capture.Finish(), "File name too long", /*lineForm=*/true);
}

TEST(ErrorLine, KeepsTheLatestTextOnly) {
    ASSERT_FALSE(MakeFolder("."));
    StdoutCapture capture;
    FormatLastError();
    const std::string first = lastErrorText != nullptr ? lastErrorText : "";
    ASSERT_FALSE(MakeFolder("no-such-parent-of-kelto/child"));
    FormatLastError();
    capture.Finish();
    ASSERT_NE(lastErrorText, nullptr);
    EXPECT_NE(first, lastErrorText);
}

}  // namespace
