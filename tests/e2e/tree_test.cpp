#include <sys/stat.h>

#include "e2e/fixture.h"

namespace e2e {
namespace {

TEST_P(KeltoTest, AnEmptyFolderIsMade) {
    fs::create_directory(in() / "E");
    CopyToClipboard({in() / "E"});
    const RunResult run = Paste();
    ExpectOutput(run, kPasting + CopyingReport(In("E"), Out("E")) + CreatingLine(Out("E")) +
                          Summary(1));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(fs::is_directory(out() / "E"));
}

// Windows marks a dot-folder hidden (attribute word 0x12): it is still a folder
// to walk into, at the top level and inside a tree.
TEST_P(KeltoTest, FoldersWithMoreAttributesAreStillFolders) {
    fs::create_directories(in() / ".config" / ".cache");
    WriteFile(in() / ".config" / ".cache" / "x", "x");
    CopyToClipboard({in() / ".config"});
    const RunResult run = Paste();
    ExpectOutput(run, kPasting + CopyingReport(In(".config"), Out(".config")) +
                          CreatingLine(Out(".config")) + CreatingLine(Out(".config/.cache")) +
                          FileLines("Copying", In(".config/.cache/x"), Out(".config/.cache/x")) +
                          "File copied.\n" + Summary(1));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Snapshot(out()), Snapshot(in()));
}

TEST_P(KeltoTest, AFolderThatExistsIsReportedAndTheRunGoesOnButFails) {
    fs::create_directory(in() / "D");
    WriteFile(in() / "D" / "new.txt", "new");
    WriteFile(in() / "b.txt", "b");
    fs::create_directory(out() / "D");
    CopyToClipboard({in() / "D", in() / "b.txt"});
    for (const std::string mode : {"-o", "-m"}) {
        fs::remove(out() / "b.txt");
        const RunResult run = Paste({mode});
        const std::string done = mode == "-m" ? "File moved.\n" : "File copied.\n";
        ExpectOutput(run, kPasting + CopyingReport(In("D"), Out("D")) +
                              DirectoryErrorLines("File exists", Out("D")) +
                              CopyingReport(In("b.txt"), Out("b.txt")) + done + Summary(2));
        EXPECT_EQ(run.status, 1) << mode;  // a failed folder level fails the run
        EXPECT_TRUE(fs::is_empty(out() / "D")) << mode;
        EXPECT_TRUE(fs::exists(in() / "D" / "new.txt")) << mode;
        if (mode == "-m") WriteFile(in() / "b.txt", "b");
    }
}

TEST_P(KeltoTest, AFailureDeepInATreeEndsOnlyItsOwnLevel) {
    fs::create_directories(in() / "D" / "S");
    ASSERT_EQ(mkfifo((in() / "D" / "S" / "pipe").c_str(), 0644), 0);
    WriteFile(in() / "D" / "top.txt", "top");
    CopyToClipboard({in() / "D"});

    const RunResult run = Paste();

    const std::string head = kPasting + CopyingReport(In("D"), Out("D")) + CreatingLine(Out("D"));
    const std::string file =
        FileLines("Copying", In("D/top.txt"), Out("D/top.txt")) + "File copied.\n";
    const std::string failedFolder =
        CreatingLine(Out("D/S")) + FileLines("Copying", In("D/S/pipe"), Out("D/S/pipe")) +
        ErrorLine("Not a regular file, folder or link (FIFO, socket or device)") +
        FailedChild("CopyDirectory", In("D/S"), Out("D/S"));
    ExpectOutputOneOf(run, {head + file + failedFolder + Summary(1),
                            head + failedFolder + file + Summary(1)});
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFile(out() / "D" / "top.txt"), "top");
    EXPECT_TRUE(fs::is_empty(out() / "D" / "S"));
}

TEST_P(KeltoTest, AFolderIsNeverPastedIntoItself) {
    fs::create_directories(in() / "D" / "S");
    WriteFile(in() / "D" / "a.txt", "a");
    const std::string before = Snapshot(in());
    struct Case {
        std::string mode;
        fs::path cwd;
    };
    const Case cases[] = {
        {"-o", in() / "D"}, {"-o", in() / "D" / "S"}, {"-m", in() / "D" / "S"}, {"-m", in()},
    };
    CopyToClipboard({in() / "D"});
    for (const Case& c : cases) {
        const std::string destination = Native(c.cwd / "D");
        const RunResult run = PasteIn(c.cwd, {c.mode});
        ExpectOutput(run, kPasting + CopyingReport(In("D"), destination) + "ERROR: Destination " +
                              destination + " lies inside " + In("D") + "!\n" + Summary(1));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(Snapshot(in()), before) << c.mode << " in " << c.cwd;
    }
}

TEST_P(KeltoTest, APathThatWouldNotFitIsRefusedNeverTruncated) {
    // Source paths fit; the destination folder lies deeper, so the deepest
    // destination paths would pass the limit of a path buffer.
    const bool windows = target().windows;
    const std::string name(windows ? 40 : 250, 'n');
    const int levels = windows ? 4 : 15;
    fs::path source = in() / "L";
    for (int level = 0; level < levels; ++level) source /= name + std::to_string(level % 10);
    fs::create_directories(source);
    WriteFile(source / "f", "deep");
    const fs::path cwd = out() / name / name;
    fs::create_directories(cwd);
    ASSERT_LT(Native(source / "f").size(), target().pathCapacity);
    ASSERT_GE(Native(cwd / "L").size() + Native(source).size() - Native(in() / "L").size(),
              target().pathCapacity);
    CopyToClipboard({in() / "L"});

    const RunResult run = PasteIn(cwd);

    EXPECT_EQ(run.status, 1);
    ExpectOutputEndsWith(run, Summary(1));
    const std::string failedChild = TargetText(target(), "ERROR: Recursive CopyDirectory failed!newDir:    ");
    EXPECT_NE(run.out.find(failedChild), std::string::npos) << run.out;
    if (!windows) {
        const std::string tooLong = "Error: File name too long\n\n" + failedChild;
        EXPECT_NE(run.out.find(tooLong), std::string::npos) << run.out;
    }
    // Every folder that was made has its whole name and fits.
    for (auto it = fs::recursive_directory_iterator(cwd); it != fs::recursive_directory_iterator();
         ++it) {
        EXPECT_LT(Native(it->path()).size(), target().pathCapacity);
        EXPECT_TRUE(it->path().filename() == "L" ||
                    it->path().filename().string().size() == name.size() + 1);
    }
}

}  // namespace
}  // namespace e2e
