#include <sys/stat.h>

#include "e2e/fixture.h"

namespace e2e {
namespace {

TEST_F(KeltoTest, AnEmptyFolderIsMade) {
    fs::create_directory(in() / "E");
    CopyToClipboard({in() / "E"});
    const RunResult run = Paste();
    EXPECT_EQ(run.out, kPasting + CopyingReport(In("E"), Out("E")) + CreatingLine(Out("E")) +
                           Summary(1));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(fs::is_directory(out() / "E"));
}

TEST_F(KeltoTest, AFolderThatExistsIsReportedAndTheRunGoesOnButFails) {
    fs::create_directory(in() / "D");
    WriteFile(in() / "D" / "new.txt", "new");
    WriteFile(in() / "b.txt", "b");
    fs::create_directory(out() / "D");
    CopyToClipboard({in() / "D", in() / "b.txt"});
    for (const char* mode : {"-o", "-m"}) {
        fs::remove(out() / "b.txt");
        const RunResult run = Paste({mode});
        const std::string done = mode == std::string("-m") ? "File moved.\n" : "File copied.\n";
        EXPECT_EQ(run.out, kPasting + CopyingReport(In("D"), Out("D")) +
                               DirectoryErrorLines("File exists", Out("D")) +
                               CopyingReport(In("b.txt"), Out("b.txt")) + done + Summary(2))
            << mode;
        EXPECT_EQ(run.status, 1) << mode;  // a failed folder level fails the run
        EXPECT_TRUE(fs::is_empty(out() / "D")) << mode;
        EXPECT_TRUE(fs::exists(in() / "D" / "new.txt")) << mode;
        if (mode == std::string("-m")) WriteFile(in() / "b.txt", "b");
    }
}

TEST_F(KeltoTest, AFailureDeepInATreeEndsOnlyItsOwnLevel) {
    fs::create_directories(in() / "D" / "S");
    ASSERT_EQ(mkfifo((in() / "D" / "S" / "pipe").c_str(), 0644), 0);
    WriteFile(in() / "D" / "top.txt", "top");
    CopyToClipboard({in() / "D"});

    const RunResult run = Paste();

    std::string expected = kPasting + CopyingReport(In("D"), Out("D")) + CreatingLine(Out("D"));
    for (const std::string& name : ListingOrder(in() / "D")) {
        if (name == "top.txt") {
            expected += FileLines("Copying", In("D/top.txt"), Out("D/top.txt")) + "File copied.\n";
        } else {
            expected += CreatingLine(Out("D/S")) +
                        FileLines("Copying", In("D/S/pipe"), Out("D/S/pipe")) +
                        ErrorLine("Not a regular file, folder or link (FIFO, socket or device)") +
                        FailedChild("CopyDirectory", In("D/S"), Out("D/S"));
        }
    }
    expected += Summary(1);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFile(out() / "D" / "top.txt"), "top");
    EXPECT_TRUE(fs::is_empty(out() / "D" / "S"));
}

TEST_F(KeltoTest, AFolderIsNeverPastedIntoItself) {
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
        const std::string destination = (c.cwd / "D").string();
        const RunResult run = RunKelto({c.mode}, c.cwd);
        EXPECT_EQ(run.out, kPasting + CopyingReport(In("D"), destination) + "ERROR: Destination " +
                               destination + " lies inside " + In("D") + "!\n" + Summary(1))
            << c.mode << " in " << c.cwd;
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(Snapshot(in()), before) << c.mode << " in " << c.cwd;
    }
}

TEST_F(KeltoTest, APathThatWouldNotFitIsRefusedNeverTruncated) {
    // Source paths fit; the destination folder lies deeper, so the deepest
    // destination paths would pass the 4096-byte limit.
    const std::string name(250, 'n');
    fs::path source = in() / "L";
    for (int level = 0; level < 15; ++level) source /= name + std::to_string(level % 10);
    fs::create_directories(source);
    WriteFile(source / "f", "deep");
    const fs::path cwd = out() / name / name;
    fs::create_directories(cwd);
    CopyToClipboard({in() / "L"});

    const RunResult run = RunKelto({}, cwd);

    const std::size_t limit = 4095;
    const std::string tooLong = ErrorLine("File name too long");
    const std::size_t at = run.out.find(tooLong);
    ASSERT_NE(at, std::string::npos) << run.out;
    const std::string after = run.out.substr(at + tooLong.size());
    EXPECT_EQ(after.rfind("ERROR: Recursive CopyDirectory failed!newDir:    ", 0), 0u) << after;
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.substr(run.out.size() - Summary(1).size()), Summary(1));
    // Every folder that was made has its whole name and fits.
    for (auto it = fs::recursive_directory_iterator(cwd); it != fs::recursive_directory_iterator();
         ++it) {
        EXPECT_LE(it->path().string().size(), limit);
        EXPECT_TRUE(it->path().filename() == "L" || it->path().filename().string().size() == 251);
    }
}

}  // namespace
}  // namespace e2e
