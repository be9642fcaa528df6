#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "transfer/paths.h"

namespace {

const std::string kSeparator(1, kPathSeparator);

TEST(Paths, AppendPutsExactlyOneSeparatorAndRefusesWhatDoesNotFit) {
    PathText path;
    std::strcpy(path.text, "a");
    std::size_t length = 1;
    ASSERT_TRUE(AppendName(&path, &length, "b"));
    EXPECT_EQ(path.text, "a" + kSeparator + "b");

    const std::string withSeparator = "a" + kSeparator;
    std::strcpy(path.text, withSeparator.c_str());
    length = withSeparator.size();
    ASSERT_TRUE(AppendName(&path, &length, "b"));  // no check for one already there
    EXPECT_EQ(path.text, "a" + kSeparator + kSeparator + "b");

    const std::string folder(kPathCapacity - 3, 'f');
    std::strcpy(path.text, folder.c_str());
    length = folder.size();
    EXPECT_FALSE(AppendName(&path, &length, "nn"));  // one byte too many
    EXPECT_EQ(path.text, folder);
    ASSERT_TRUE(AppendName(&path, &length, "n"));  // kPathCapacity - 1 bytes: fits
    EXPECT_EQ(std::strlen(path.text), kPathCapacity - 1);
    EXPECT_EQ(length, kPathCapacity - 1);
}

TEST(Paths, ConcatenateRefusesWhatDoesNotFit) {
    PathText out;
    const std::string prefix(kPathCapacity - 2, 'p');
    EXPECT_TRUE(ConcatenatePath(&out, prefix.c_str(), "t"));
    EXPECT_FALSE(ConcatenatePath(&out, prefix.c_str(), "tt"));
}

TEST(Paths, AppendAndCutRestoreThePath) {
    PathText path;
    std::strcpy(path.text, "/src");
    std::size_t length = 4;
    ASSERT_TRUE(AppendName(&path, &length, "child"));
    EXPECT_EQ(path.text, "/src" + kSeparator + "child");
    EXPECT_EQ(length, 10u);
    CutPath(&path, &length, 4);
    EXPECT_STREQ(path.text, "/src");

    const std::string longName(kPathCapacity - 5, 'n');
    EXPECT_FALSE(AppendName(&path, &length, longName.c_str()));
    EXPECT_STREQ(path.text, "/src");
    EXPECT_EQ(length, 4u);
}

TEST(Paths, TitleIsTheLastComponentWhole) {
    struct Case {
        const char* path;
        bool ok;
        const char* title;
    };
    const Case cases[] = {
        {"/in/a.txt", true, "a.txt"},
        {"/in/archive.tar.gz", true, "archive.tar.gz"},
        {"/in/.hidden", true, ".hidden"},
        {"/in/D", true, "D"},
        {"name", true, "name"},
        {"/in/D/", false, ""},
        {"/", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        PathText title;
        title.text[0] = '\0';
        EXPECT_EQ(TakeTitle(c.path, &title), c.ok) << c.path;
        EXPECT_STREQ(title.text, c.title) << c.path;
    }
}

}  // namespace
