#include "e2e/fixture.h"

namespace e2e {
namespace {

std::string Repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

std::string PanelLine(const std::string& text) {
    return kFileGlyph + "   " + text + std::string(74 - text.size(), ' ') + kFileGlyph + "\n";
}

TEST_P(KeltoTest, HelpDrawsTheFramedPanel) {
    const RunResult run = Paste({"-h"});
    std::string panel = "\u2554" + Repeat("\u2550", 77) + "\u2557\n";
    for (const char* line :
         {"Usage:", "kelto [switch]", " ", "Default: Copies file(s) copied to clipboard to the current",
          "working directory.", " ", "Switches:", " ", "-o     Overwrite existing file",
          "-m     Move", "-v     Version", "-h     Help"}) {
        panel += PanelLine(line);
    }
    panel += "\u255A" + Repeat("\u2550", 77) + "\u255D\n";
    ExpectOutput(run, panel);
    EXPECT_EQ(run.status, 0);
}

TEST_P(KeltoTest, VersionBannerNamesVersion091) {
    const RunResult run = Paste({"-v"});
    const std::string first = TargetText(target(), "Kelto.exe | version 0.91\n");
    EXPECT_EQ(run.out.substr(0, first.size()), first);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4);
    ExpectOutputEndsWith(run, "\n\n");
    EXPECT_EQ(run.status, 0);
}

TEST_P(KeltoTest, TwoOrMoreArgumentsOnlyShowTheUsageLine) {
    WriteFile(in() / "a.txt", "a");
    CopyToClipboard({in() / "a.txt"});
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-m", "-o"}, {"-v", "-h", "x"}}) {
        const RunResult run = Paste(args);
        ExpectOutput(run, "Usage: kelto -h for help\n");
        EXPECT_EQ(run.status, 0);
    }
    EXPECT_FALSE(fs::exists(out() / "a.txt"));
    EXPECT_TRUE(fs::exists(in() / "a.txt"));
}

TEST_P(KeltoTest, AnyOtherSingleArgumentIsAPlainCopy) {
    WriteFile(in() / "a.txt", "a");
    CopyToClipboard({in() / "a.txt"});
    for (const char* argument : {"-M", "/h", "-x", "--help", "a.txt"}) {
        fs::remove(out() / "a.txt");
        const RunResult run = Paste({argument});
        ExpectOutput(run, kPasting + CopyingReport(In("a.txt"), Out("a.txt")) + "File copied.\n" +
                              Summary(1));
        EXPECT_EQ(run.status, 0) << argument;
        EXPECT_TRUE(fs::exists(in() / "a.txt")) << argument;
    }
}

TEST_F(LinuxOnlyTest, ColoursOnlyOnATerminalAndNotWithNoColor) {
    CopyToClipboard({});
    RunOptions terminal;
    terminal.terminal = true;
    terminal.unsetEnv = {"NO_COLOR"};
    const RunResult coloured = Paste({}, terminal);
    // The terminal turns each "\n" into "\r\n".
    EXPECT_EQ(coloured.out, "\x1b[93mPasting...\x1b[0m\r\n0 item(s) copied.\r\n\r\n");

    terminal.setEnv = {"NO_COLOR=1"};
    EXPECT_EQ(Paste({}, terminal).out, "Pasting...\r\n0 item(s) copied.\r\n\r\n");

    RunOptions pipe;
    pipe.unsetEnv = {"NO_COLOR"};
    EXPECT_EQ(Paste({}, pipe).out, kPasting + Summary(0));
}

TEST_F(LinuxOnlyTest, HelpFrameIsRedOnATerminalAndItsTextIsNot) {
    RunOptions terminal;
    terminal.terminal = true;
    terminal.unsetEnv = {"NO_COLOR"};
    const RunResult run = Paste({"-h"}, terminal);
    const std::string red = "\x1b[31m";
    const std::string reset = "\x1b[0m";
    const std::string usageLine = red + kFileGlyph + "   " + reset + "Usage:" +
                                  std::string(68, ' ') + red + kFileGlyph + reset + "\r\n";
    EXPECT_NE(run.out.find(usageLine), std::string::npos) << run.out;
    EXPECT_EQ(run.out.substr(0, red.size() + 3 + reset.size()), red + "\u2554" + reset);
}
}  // namespace
}  // namespace e2e
