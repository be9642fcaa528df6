#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "e2e/fixture.h"

namespace e2e {
namespace {

struct timespec ModificationTime(const fs::path& path) {
    struct stat status;
    lstat(path.c_str(), &status);
    return status.st_mtim;
}

mode_t PermissionBits(const fs::path& path) {
    struct stat status;
    lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// The typical run: a file and a folder holding a file and a subfolder.
TEST_P(KeltoTest, CopiesFilesAndWholeFoldersIntoTheCurrentFolder) {
    WriteFile(in() / "a.txt", "alpha");
    fs::create_directories(in() / "D" / "S");
    WriteFile(in() / "D" / "b.txt", "beta");
    WriteFile(in() / "D" / "S" / "c.txt", "gamma");
    CopyToClipboard({in() / "a.txt", in() / "D"});

    const RunResult run = Paste({"-o"});

    const std::string head = kPasting + CopyingReport(In("a.txt"), Out("a.txt")) +
                             "File copied.\n" + CopyingReport(In("D"), Out("D")) +
                             CreatingLine(Out("D"));
    const std::string file =
        FileLines("Copying", In("D/b.txt"), Out("D/b.txt")) + "File copied.\n";
    const std::string folder = CreatingLine(Out("D/S")) +
                               FileLines("Copying", In("D/S/c.txt"), Out("D/S/c.txt")) +
                               "File copied.\n";
    // The listing decides which entry of D comes first.
    ExpectOutputOneOf(run, {head + file + folder + Summary(2), head + folder + file + Summary(2)});
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Snapshot(out()), Snapshot(in()));
}

TEST_F(LinuxOnlyTest, CopiesKeepPermissionBitsAndTimes) {
    WriteFile(in() / "a.txt", "alpha");
    fs::permissions(in() / "a.txt", fs::perms(0750));
    const struct timespec past[2] = {{1000000000, 0}, {1000000000, 123456789}};
    utimensat(AT_FDCWD, (in() / "a.txt").c_str(), past, 0);
    CopyToClipboard({in() / "a.txt"});
    ASSERT_EQ(Paste().status, 0);
    EXPECT_EQ(PermissionBits(out() / "a.txt"), 0750u);
    EXPECT_EQ(ModificationTime(out() / "a.txt").tv_sec, 1000000000);
    EXPECT_EQ(ModificationTime(out() / "a.txt").tv_nsec, 123456789);
}

TEST_P(KeltoTest, AnExistingFileStopsACopyUnlessOverwriteIsOn) {
    for (const char* name : {"1", "2", "3"}) WriteFile(in() / name, std::string("new ") + name);
    WriteFile(out() / "2", "old 2");
    CopyToClipboard({in() / "1", in() / "2", in() / "3"});

    RunResult run = Paste();
    ExpectOutput(run, kPasting + CopyingReport(In("1"), Out("1")) + "File copied.\n" +
                          CopyingReport(In("2"), Out("2")) + ErrorLine("File exists"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFile(out() / "1"), "new 1");  // earlier items stay copied
    EXPECT_EQ(ReadFile(out() / "2"), "old 2");
    EXPECT_FALSE(fs::exists(out() / "3"));      // later items are not touched

    run = Paste({"-o"});
    EXPECT_EQ(run.status, 0);
    ExpectOutputEndsWith(run, Summary(3));
    EXPECT_EQ(ReadFile(out() / "2"), "new 2");
    EXPECT_EQ(ReadFile(out() / "3"), "new 3");
    EXPECT_EQ(ListingOrder(out()).size(), 3u);  // no temporary file left behind
}

TEST_P(KeltoTest, MoveTakesFilesAndEmptiesFoldersWhichStayBehind) {
    WriteFile(in() / "a.txt", "alpha");
    fs::create_directories(in() / "D" / "S");
    WriteFile(in() / "D" / "S" / "c.txt", "gamma");
    const std::string before = Snapshot(in() / "D");
    CopyToClipboard({in() / "a.txt", in() / "D"});

    const RunResult run = Paste({"-m"});

    ExpectOutput(run, kPasting + CopyingReport(In("a.txt"), Out("a.txt")) + "File moved.\n" +
                          CopyingReport(In("D"), Out("D")) + CreatingLine(Out("D")) +
                          CreatingLine(Out("D/S")) +
                          FileLines("Moving", In("D/S/c.txt"), Out("D/S/c.txt")) +
                          "File moved.\n" + Summary(2));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(ReadFile(out() / "a.txt"), "alpha");
    EXPECT_EQ(Snapshot(out() / "D"), before);
    EXPECT_FALSE(fs::exists(in() / "a.txt"));
    EXPECT_EQ(Snapshot(in()), "D D\nD D/S\n");
}

TEST_P(KeltoTest, MoveNeverReplacesAnExistingFile) {
    WriteFile(in() / "a.txt", "new");
    WriteFile(out() / "a.txt", "old");
    CopyToClipboard({in() / "a.txt"});
    const RunResult run = Paste({"-m"});
    ExpectOutput(run, kPasting + CopyingReport(In("a.txt"), Out("a.txt")) + ErrorLine("File exists"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFile(in() / "a.txt"), "new");
    EXPECT_EQ(ReadFile(out() / "a.txt"), "old");
}

TEST_P(KeltoTest, AMissingItemFailsTheKindTestAndTheCopy) {
    CopyToClipboard({in() / "gone.txt"});
    for (const char* mode : {"-o", "-m"}) {
        const RunResult run = Paste({mode});
        ExpectOutput(run, kPasting + CopyingReport(In("gone.txt"), Out("gone.txt")) + "Error!\n" +
                              ErrorLine("No such file or directory"));
        EXPECT_EQ(run.status, 1) << mode;
    }
}

TEST_P(KeltoTest, PastingAnItemOntoItselfFailsAndKeepsIt) {
    WriteFile(in() / "a.txt", "precious");
    CopyToClipboard({in() / "a.txt"});
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"-o"}, {"-m"}}) {
        const RunResult run = PasteIn(in(), args);
        ExpectOutput(run, kPasting + CopyingReport(In("a.txt"), In("a.txt")) +
                              ErrorLine("Source and destination are the same file"));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(ReadFile(in() / "a.txt"), "precious");
    }
    // A hard link of the item in the current folder is the same file too.
    fs::create_directory(tmp_ / "other");
    fs::create_hard_link(in() / "a.txt", tmp_ / "other" / "a.txt");
    CopyToClipboard({tmp_ / "other" / "a.txt"});
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-o"}, {"-m"}}) {
        const RunResult run = PasteIn(in(), args);
        ExpectOutput(run, kPasting + CopyingReport(Native(tmp_ / "other/a.txt"), In("a.txt")) +
                              ErrorLine("Source and destination are the same file"));
        EXPECT_EQ(ReadFile(in() / "a.txt"), "precious");
        EXPECT_EQ(ReadFile(tmp_ / "other" / "a.txt"), "precious");
    }
    EXPECT_EQ(ListingOrder(in()).size(), 1u);
}

TEST_F(LinuxOnlyTest, AnUnknownCurrentFolderEndsTheRunBeforeAnyCopy) {
    WriteFile(in() / "a.txt", "a");
    CopyToClipboard({in() / "a.txt"});
    fs::create_directory(tmp_ / "doomed");
    // A shell keeps standing in a folder that was removed meanwhile.
    const RunResult run =
        e2e::Run({"sh", "-c", "cd \"$0\" && rmdir \"$0\" && exec \"$1\"", (tmp_ / "doomed").string(),
                  KELTO_BINARY},
                 {});
    EXPECT_EQ(run.out, kPasting);
    EXPECT_EQ(run.err, "_getcwd error: No such file or directory\n");
    EXPECT_EQ(run.status, 1);
}

TEST_P(KeltoTest, SpecialFilesAreRefusedWithoutBlocking) {
    ASSERT_EQ(mkfifo((in() / "pipe").c_str(), 0644), 0);
    WriteFile(in() / "later.txt", "later");
    CopyToClipboard({in() / "pipe", in() / "later.txt"});
    const RunResult run = Paste();
    EXPECT_FALSE(run.timedOut);
    ExpectOutput(run, kPasting + CopyingReport(In("pipe"), Out("pipe")) +
                          ErrorLine("Not a regular file, folder or link (FIFO, socket or device)"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(fs::is_empty(out()));
}

TEST_F(LinuxOnlyTest, LinksAreCopiedAsLinksAndNeverFollowed) {
    fs::create_directory(in() / "D");
    WriteFile(in() / "D" / "f", "f");
    fs::create_directory_symlink("..", in() / "D" / "up");  // a loop if followed
    fs::create_symlink("D/f", in() / "to-file");
    fs::create_directory_symlink("D", in() / "to-folder");
    fs::create_symlink("nowhere", in() / "dangling");
    CopyToClipboard({in() / "to-file", in() / "to-folder", in() / "dangling", in() / "D"});

    RunResult run = Paste();
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(fs::read_symlink(out() / "to-file"), "D/f");
    EXPECT_EQ(fs::read_symlink(out() / "to-folder"), "D");
    EXPECT_EQ(fs::read_symlink(out() / "dangling"), "nowhere");
    EXPECT_EQ(fs::read_symlink(out() / "D" / "up"), "..");
    EXPECT_NE(run.out.find(CopyingReport(In("to-folder"), Out("to-folder")) + "File copied.\n"),
              std::string::npos);

    // Moved links are renamed, not followed.
    fs::remove_all(out());
    fs::create_directory(out());
    run = Paste({"-m"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(fs::read_symlink(out() / "to-folder"), "D");
    EXPECT_FALSE(fs::exists(fs::symlink_status(in() / "to-folder")));
    EXPECT_EQ(ReadFile(out() / "D" / "f"), "f");
}

TEST_P(KeltoTest, AFailedCopyOnAFullDiskLeavesNoPartialFileAndKeepsTheOldOne) {
    SmallTmpfs disk("1m");
    if (!disk.ok()) GTEST_SKIP() << "mounting a tmpfs needs root";
    const std::string big(2 << 20, 'x');
    WriteFile(in() / "big", big);
    WriteFile(disk.path() / "big", "old contents");

    CopyToClipboard({in() / "big"});
    RunResult run = PasteIn(disk.path(), {"-o"});
    ExpectOutput(run, kPasting + CopyingReport(In("big"), Native(disk.path() / "big")) +
                          ErrorLine("No space left on device"));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFile(disk.path() / "big"), "old contents");
    EXPECT_EQ(ListingOrder(disk.path()).size(), 1u);

    fs::remove(disk.path() / "big");
    run = PasteIn(disk.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(fs::is_empty(disk.path()));

    // A move to the full disk keeps its source.
    run = PasteIn(disk.path(), {"-m"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(fs::is_empty(disk.path()));
    EXPECT_EQ(ReadFile(in() / "big"), big);
}

TEST_P(KeltoTest, MoveAcrossFilesystemsCopiesThenRemovesTheSource) {
    SmallTmpfs other("64m");
    if (!other.ok()) GTEST_SKIP() << "mounting a tmpfs needs root";
    const std::string big(3 << 20, 'y');
    fs::create_directories(other.path() / "D" / "S");
    WriteFile(other.path() / "a.bin", big);
    WriteFile(other.path() / "D" / "S" / "c", "c");
    const std::string tree = Snapshot(other.path() / "D");
    Offer("text/uri-list", UriList({other.path() / "a.bin", other.path() / "D"}));

    const RunResult run = Paste({"-m"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(ReadFile(out() / "a.bin"), big);
    EXPECT_EQ(Snapshot(out() / "D"), tree);
    EXPECT_EQ(Snapshot(other.path()), "D D\nD D/S\n");
}

TEST_F(LinuxOnlyTest, MoveAcrossFilesystemsKeepsLinksAndPermissionBits) {
    SmallTmpfs other("1m");
    if (!other.ok()) GTEST_SKIP() << "mounting a tmpfs needs root";
    WriteFile(other.path() / "a.bin", "a");
    fs::permissions(other.path() / "a.bin", fs::perms(0640));
    fs::create_symlink("a.bin", other.path() / "link");
    Offer("text/uri-list", UriList({other.path() / "a.bin", other.path() / "link"}));
    const RunResult run = Paste({"-m"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(PermissionBits(out() / "a.bin"), 0640u);
    EXPECT_EQ(fs::read_symlink(out() / "link"), "a.bin");
    EXPECT_TRUE(fs::is_empty(other.path()));
}

TEST_F(LinuxOnlyTest, AnInterruptedCopyLeavesNoPartialFile) {
    // On tmpfs the copy is quick, so the interrupt may come after it: then the
    // file must be whole. What must never be there is a part of it.
    const fs::path shm = "/dev/shm";
    if (!fs::is_directory(shm)) GTEST_SKIP() << "no /dev/shm";
    TempDir place;
    const fs::path source = shm / place.path().filename();
    fs::create_directory(source);
    const std::string big(256 << 20, 'z');
    WriteFile(source / "big", big);
    Offer("text/uri-list", UriList({source / "big"}));

    RunOptions options;
    options.terminal = true;  // unbuffered: the report comes out before the copy starts
    options.interruptAfter = "big...";
    const RunResult run = Paste({}, options);
    if (fs::exists(out() / "big")) {
        EXPECT_EQ(fs::file_size(out() / "big"), big.size()) << "signal " << run.signal;
    } else {
        EXPECT_EQ(run.signal, SIGINT);
    }
    EXPECT_LE(ListingOrder(out()).size(), 1u);
    fs::remove_all(source);
}

}  // namespace
}  // namespace e2e
