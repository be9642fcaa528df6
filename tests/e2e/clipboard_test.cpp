#include <unistd.h>

#include "e2e/fixture.h"

namespace e2e {
namespace {

TEST_F(LinuxOnlyTest, AnEmptyListCopiesNothingAndSucceeds) {
    Offer("text/uri-list", "# nothing copied\r\n");
    const RunResult run = Paste();
    EXPECT_EQ(run.out, kPasting + Summary(0));
    EXPECT_EQ(run.status, 0);
}

TEST_P(KeltoTest, ClipboardWithoutAFileListFails) {
    Offer("UTF8_STRING", "just some text");
    RunResult run = Paste();
    ExpectOutput(run, kPasting + "FAILURE: Invalid clipboard format.\n");
    EXPECT_EQ(run.status, 1);

    clipboard_.Stop();  // no owner at all
    run = Paste();
    ExpectOutput(run, kPasting + "FAILURE: Invalid clipboard format.\n");
    EXPECT_EQ(run.status, 1);
}

TEST_F(LinuxOnlyTest, NoDisplayMeansNoClipboard) {
    RunOptions options;
    options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY"};
    const RunResult run = Paste({}, options);
    EXPECT_EQ(run.out,
              kPasting + "ERROR: Cannot open clipboard.\nFAILURE: Invalid clipboard format.\n");
    EXPECT_EQ(run.status, 1);
}

TEST_F(LinuxOnlyTest, AListWithAnItemThatIsNoLocalFileIsRefusedWhole) {
    WriteFile(in() / "a.txt", "a");
    Offer("text/uri-list", UriList({in() / "a.txt"}) + "sftp://server/b.txt\r\n");
    const RunResult run = Paste();
    EXPECT_EQ(run.out, kPasting);
    EXPECT_EQ(run.err, "Failure: Call to GetClipboardData failed - Wrong data type on clipboard.\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(fs::is_empty(out()));
}

TEST_F(LinuxOnlyTest, ReadsTheCopiedFilesListsOfFileManagers) {
    WriteFile(in() / "a b#%.txt", "a");
    const std::string uri = "file://" + In("a%20b%23%25.txt");
    struct ListOffer {
        const char* type;
        std::string data;
    };
    // A cut marker changes nothing: the switch alone chooses copy or move.
    const ListOffer offers[] = {
        {"x-special/gnome-copied-files", "cut\n" + uri},
        {"x-special/mate-copied-files", "copy\n" + uri},
        {"text/uri-list", uri + std::string(1, '\0')},  // libfm sends a trailing NUL
    };
    for (const ListOffer& offer : offers) {
        fs::remove(out() / "a b#%.txt");
        Offer(offer.type, offer.data);
        const RunResult run = Paste();
        EXPECT_EQ(run.out, kPasting + CopyingReport(In("a b#%.txt"), Out("a b#%.txt")) +
                               "File copied.\n" + Summary(1))
            << offer.type;
        EXPECT_EQ(ReadFile(out() / "a b#%.txt"), "a") << offer.type;
        EXPECT_TRUE(fs::exists(in() / "a b#%.txt")) << offer.type;
    }
}

TEST_F(LinuxOnlyTest, AStoppedOwnerCostsAboutTwoSecondsThenTheFormatTestFails) {
    WriteFile(in() / "a.txt", "a");
    CopyToClipboard({in() / "a.txt"});
    clipboard_.Pause();
    const RunResult run = Paste();
    clipboard_.Resume();
    EXPECT_FALSE(run.timedOut);
    EXPECT_LT(run.seconds, 6.0);
    EXPECT_EQ(run.out, kPasting + "FAILURE: Invalid clipboard format.\n");
    EXPECT_EQ(run.status, 1);
}

TEST_F(LinuxOnlyTest, ReadsAListOfThousandsOfItemsSentIncrementally) {
    // Long names make the list far larger than one X request, so the owner
    // sends it in pieces.
    const int count = 5000;
    const std::string padding(200, 'x');
    std::vector<fs::path> items;
    for (int i = 0; i < count; ++i) {
        const fs::path item = in() / (padding + std::to_string(i));
        WriteFile(item, std::to_string(i));
        items.push_back(item);
    }
    const std::string list = UriList(items);
    ASSERT_GT(list.size(), 1u << 20);
    Offer("text/uri-list", list);
    const RunResult run = Paste();
    EXPECT_EQ(run.status, 0);
    ASSERT_GE(run.out.size(), Summary(count).size());
    EXPECT_EQ(run.out.substr(run.out.size() - Summary(count).size()), Summary(count));
    std::size_t copied = 0;
    for (std::size_t at = 0; (at = run.out.find("File copied.\n", at)) != std::string::npos; ++at) {
        ++copied;
    }
    EXPECT_EQ(copied, static_cast<std::size_t>(count));
    EXPECT_EQ(ReadFile(out() / (padding + "4999")), "4999");
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// A listed path longer than a path buffer is refused whole, never cut short
// into some other, shorter path.
TEST_P(KeltoTest, AListedPathThatWouldNotFitIsRefused) {
    const std::string name(200, 'n');
    fs::path item = in();
    while (Native(item).size() < target().pathCapacity) item /= name;
    CopyToClipboard({item});
    const RunResult run = Paste();
    ExpectOutput(run, kPasting + ErrorLine("File name too long"));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(fs::is_empty(out()));
}

}  // namespace
}  // namespace e2e
