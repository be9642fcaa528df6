#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/uri_list.h"

namespace {

struct Case {
    const char* name;
    std::string data;
    UriListKind kind;
    bool ok;
    std::vector<std::string> paths;
};

std::vector<std::string> PathsOf(const DropList& list) {
    std::vector<std::string> paths;
    for (std::size_t start : list.starts) paths.emplace_back(list.paths.c_str() + start);
    return paths;
}

const UriListKind kUri = UriListKind::kUriList;
const UriListKind kCopied = UriListKind::kCopiedFiles;

TEST(UriList, ParsesTheListsFileManagersSend) {
    const Case cases[] = {
        {"GTK and KDE: CRLF after every line", "file:///a/b\r\nfile:///c\r\n", kUri, true,
         {"/a/b", "/c"}},
        {"libfm: no final line end, a trailing NUL", std::string("file:///a\r\nfile:///b\0", 20),
         kUri, true, {"/a", "/b"}},
        {"GNOME copied files", "copy\nfile:///a\nfile:///b", kCopied, true, {"/a", "/b"}},
        {"a cut is read like a copy", "cut\nfile:///a", kCopied, true, {"/a"}},
        {"comments and empty lines", "# from a test\r\n\r\nfile:///a\r\n\r\n", kUri, true, {"/a"}},
        {"comment only: an empty list", "# nothing\r\n", kUri, true, {}},
        {"nothing at all", "", kUri, true, {}},
        {"copied files with no items", "copy", kCopied, true, {}},
        {"localhost and this host", "file://localhost/a\nfile://thishost/b\nFILE://ThisHost/c",
         kUri, true, {"/a", "/b", "/c"}},
        {"file:/path without authority", "file:/a/b", kUri, true, {"/a/b"}},
        {"escapes decode to raw bytes",
         "file:///sp%20ace/h%23sh/pc%25/nl%0A/q%3F/%C3%A9/%ff/%e9", kUri, true,
         {"/sp ace/h#sh/pc%/nl\n/q?/\xC3\xA9/\xFF/\xE9"}},
        {"literal characters stay", "file:///a&b=c'd!(e)$f+g", kUri, true, {"/a&b=c'd!(e)$f+g"}},
        {"a trailing slash is dropped", "file:///in/D/\nfile:///", kUri, true, {"/in/D", "/"}},
    };
    for (const Case& c : cases) {
        DropList list;
        EXPECT_EQ(ParseFileUriList(c.data.data(), c.data.size(), c.kind, "thishost", &list), c.ok)
            << c.name;
        EXPECT_EQ(PathsOf(list), c.paths) << c.name;
    }
}

TEST(UriList, AnyItemThatIsNotALocalFileRefusesTheWholeList) {
    const Case cases[] = {
        {"another scheme", "file:///a\nsftp://host/b", kUri, false, {}},
        {"http", "http://example.org/a", kUri, false, {}},
        {"another host", "file://otherhost/a", kUri, false, {}},
        {"a bad escape", "file:///a%zz", kUri, false, {}},
        {"a cut-off escape", "file:///a%4", kUri, false, {}},
        {"an escaped NUL", "file:///a%00b", kUri, false, {}},
        {"a relative path", "file:a", kUri, false, {}},
        {"no path after the host", "file://localhost", kUri, false, {}},
        {"plain paths as text", "/tmp/a /tmp/b", kUri, false, {}},
    };
    for (const Case& c : cases) {
        DropList list;
        EXPECT_FALSE(ParseFileUriList(c.data.data(), c.data.size(), c.kind, "thishost", &list))
            << c.name;
        EXPECT_TRUE(list.starts.empty()) << c.name;
    }
}

}  // namespace
