#include "e2e/fixture.h"

namespace e2e {
namespace {

std::vector<std::string> With(std::vector<std::string> env, const std::string& pair) {
    env.push_back(pair);
    return env;
}

TEST_F(WaylandOnlyTest, ReadsTheCopiedFilesTypesAndAnEmptyList) {
    WriteFile(in() / "a b.txt", "a");
    const std::string uri = "file://" + In("a%20b.txt");
    for (const char* type : {"x-special/gnome-copied-files", "x-special/mate-copied-files"}) {
        fs::remove(out() / "a b.txt");
        Offer(type, "copy\n" + uri);
        const RunResult run = Paste();
        ExpectOutput(run, kPasting + CopyingReport(In("a b.txt"), Out("a b.txt")) +
                              "File copied.\n" + Summary(1));
        EXPECT_EQ(ReadFile(out() / "a b.txt"), "a") << type;
    }
    Offer("text/uri-list", "# nothing\r\n");
    const RunResult run = Paste();
    ExpectOutput(run, kPasting + Summary(0));
    EXPECT_EQ(run.status, 0);
}

TEST_F(WaylandOnlyTest, AStoppedOwnerMakesTheReadFailWithinItsBound) {
    WriteFile(in() / "a.txt", "a");
    CopyToClipboard({in() / "a.txt"});
    clipboard_.Pause();  // the compositor still lists its types; the read gets nothing
    const RunResult run = Paste();
    clipboard_.Resume();
    EXPECT_LT(run.seconds, 6.0);
    ExpectOutput(run, kPasting);
    EXPECT_EQ(run.err, "Failure: Call to GetClipboardData failed - Wrong data type on clipboard.\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(fs::is_empty(out()));
    EXPECT_EQ(e2e::Run({"pgrep", "-x", "wl-paste"}, {}).status, 1) << "a wl-paste was left behind";
}

// The X11 clipboard may hold an older list: a Wayland clipboard that holds no
// file list never sends kelto there.
TEST_F(WaylandOnlyTest, TheWaylandAnswerIsFinal) {
    WriteFile(in() / "stale.txt", "stale");
    ClipboardOwner x11;
    x11.Offer("text/uri-list", UriList({in() / "stale.txt"}));
    Offer("text/plain", "just text");
    const RunResult run = Paste();
    ExpectOutput(run, kPasting + "FAILURE: Invalid clipboard format.\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(fs::is_empty(out()));
}

// The X11 clipboard serves where Wayland cannot: no compositor at that name,
// a compositor without data-control (it would want a window of ours), or no
// wl-paste to read with.
TEST_F(WaylandOnlyTest, FallsBackToX11WhereWaylandCannotServe) {
    WriteFile(in() / "a.txt", "a");
    ClipboardOwner x11;
    x11.Offer("text/uri-list", UriList({in() / "a.txt"}));
    const std::string pasted =
        kPasting + CopyingReport(In("a.txt"), Out("a.txt")) + "File copied.\n" + Summary(1);
    FakeCompositor withoutDataControl(FakeCompositor::Behaviour::kWithoutDataControl);

    struct Case {
        const char* name;
        std::vector<std::string> env;
        std::string err;
    };
    const Case cases[] = {
        {"no compositor there", {"WAYLAND_DISPLAY=/nonexistent/wayland-9"}, ""},
        {"no data-control", withoutDataControl.ClientEnv(), ""},
        {"no wl-paste", With(WaylandClientEnv(), "PATH=/nonexistent"),
         "kelto: reading the Wayland clipboard needs wl-paste (package wl-clipboard); trying X11 "
         "instead.\n"},
    };
    for (const Case& c : cases) {
        fs::remove(out() / "a.txt");
        RunOptions options;
        options.setEnv = c.env;
        const RunResult run = RunKelto(kLinux, {}, out(), options);
        ExpectOutput(run, pasted);
        EXPECT_EQ(run.err, c.err) << c.name;
        EXPECT_EQ(run.status, 0) << c.name;
    }
}

TEST_F(WaylandOnlyTest, ACompositorThatDoesNotAnswerFailsTheOpenWithinItsBound) {
    FakeCompositor silent(FakeCompositor::Behaviour::kSilent);
    RunOptions options;
    options.setEnv = silent.ClientEnv();
    const RunResult run = RunKelto(kLinux, {}, out(), options);
    EXPECT_LT(run.seconds, 6.0);
    ExpectOutput(run, kPasting + "ERROR: Cannot open clipboard.\nFAILURE: Invalid clipboard format.\n");
    EXPECT_EQ(run.status, 1);
}

}  // namespace
}  // namespace e2e
