#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/expected.h"
#include "e2e/harness.h"

namespace e2e {

// A source folder `in`, an empty destination folder `out` and the clipboard.
class KeltoTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(in());
        fs::create_directory(out());
    }

    fs::path in() const { return tmp_ / "in"; }
    fs::path out() const { return tmp_ / "out"; }
    std::string In(const std::string& name) const { return (in() / name).string(); }
    std::string Out(const std::string& name) const { return (out() / name).string(); }

    // Puts `paths` on the clipboard as a file manager does after a copy.
    void CopyToClipboard(const std::vector<fs::path>& paths) {
        clipboard_.Offer("text/uri-list", UriList(paths));
    }

    RunResult Paste(const std::vector<std::string>& args = {}, RunOptions options = {}) {
        return RunKelto(args, out(), options);
    }

    TempDir tmp_;
    ClipboardOwner clipboard_;
};

}  // namespace e2e
