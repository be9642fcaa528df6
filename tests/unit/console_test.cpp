#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "console/console.h"
#include "platform/platform.h"
#include "unit/stdout_capture.h"

namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

const std::string kVertical = "\u2551";

TEST(Panel, BordersAreSeventyNineGlyphsWide) {
    StdoutCapture capture;
    DrawBoxTop(COLOR_PANEL);
    DrawBoxBottom(COLOR_PANEL);
    EXPECT_EQ(capture.Finish(), "\u2554" + Repeat("\u2550", 77) + "\u2557\n" +  //
                                    "\u255A" + Repeat("\u2550", 77) + "\u255D\n");
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
        EXPECT_EQ(capture.Finish(),
                  kVertical + "   " + c.text + std::string(c.fillerSpaces, ' ') + kVertical + "\n")
            << "text of " << c.text.size() << " bytes";
    }
}

TEST(ErrorLine, LineFormLeavesAnEmptyLineAfterTheSystemText) {
    ASSERT_FALSE(MakeFolder("/"));  // exists
    StdoutCapture capture;
    WriteErrorLine();
    EXPECT_EQ(capture.Finish(), "Error: File exists\n\n");
}

TEST(ErrorLine, DirectoryFormEndsWithTheSystemTextsOwnLineBreak) {
    ASSERT_FALSE(MakeFolder("/no/such/parent/child"));
    StdoutCapture capture;
    WriteErrorLineDirectoryForm();
    EXPECT_EQ(capture.Finish(), "Error: No such file or directory\n");
}

TEST(ErrorLine, KeepsTheLatestTextOnly) {
    ASSERT_FALSE(MakeFolder("/"));
    StdoutCapture capture;
    FormatLastError();
    const char* first = lastErrorText;
    ASSERT_NE(first, nullptr);
    ASSERT_FALSE(MakeFolder("/no/such/parent/child"));
    FormatLastError();
    capture.Finish();
    EXPECT_STREQ(lastErrorText, "No such file or directory\n");
}

}  // namespace
