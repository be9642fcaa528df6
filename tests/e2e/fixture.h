#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "e2e/expected.h"
#include "e2e/harness.h"

namespace e2e {

// A source folder `in`, an empty destination folder `out` and the clipboard,
// for one build of kelto.
class KeltoFixture : public ::testing::Test {
protected:
    virtual const Target& target() const = 0;

    void SetUp() override {
        std::string why;
        if (!TargetAvailable(target(), &why)) GTEST_SKIP() << why;
        if (target().wayland) clipboard_.UseWayland();
        fs::create_directory(in());
        fs::create_directory(out());
    }

    fs::path in() const { return tmp_ / "in"; }
    fs::path out() const { return tmp_ / "out"; }
    // Paths as the program under test writes them.
    std::string Native(const fs::path& path) const { return NativePath(target(), path); }
    std::string In(const std::string& name) const { return Native(in() / name); }
    std::string Out(const std::string& name) const { return Native(out() / name); }

    // Puts `paths` on the clipboard as a file manager does after a copy.
    void CopyToClipboard(const std::vector<fs::path>& paths) {
        Offer("text/uri-list", UriList(paths));
    }

    void Offer(const std::string& type, const std::string& data) {
        clipboard_.Offer(type, data);
        // Wine's clipboard bridge takes up a new owner within a few ms.
        if (target().windows) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }

    RunResult Paste(const std::vector<std::string>& args = {}, RunOptions options = {}) {
        return RunKelto(target(), args, out(), options);
    }
    RunResult PasteIn(const fs::path& cwd, const std::vector<std::string>& args = {}) {
        return RunKelto(target(), args, cwd);
    }

    void ExpectOutput(const RunResult& run, const std::string& expected) {
        e2e::ExpectOutput(target(), run.out, expected);
    }
    void ExpectOutputOneOf(const RunResult& run, const std::vector<std::string>& expected) {
        e2e::ExpectOutputOneOf(target(), run.out, expected);
    }
    // The tail of the output, as the target writes it.
    void ExpectOutputEndsWith(const RunResult& run, const std::string& expectedTail) {
        const std::string tail = TargetText(target(), expectedTail);
        ASSERT_GE(run.out.size(), tail.size()) << run.out;
        EXPECT_EQ(run.out.substr(run.out.size() - tail.size()), tail);
    }

    TempDir tmp_;
    ClipboardOwner clipboard_;
};

// Cases that every build of kelto must pass: run for Linux and for Windows.
class KeltoTest : public KeltoFixture, public ::testing::WithParamInterface<const Target*> {
protected:
    const Target& target() const override { return *GetParam(); }
};

// Cases that only the Linux program can show (terminals, links, the X11
// clipboard's own failures, signals).
class LinuxOnlyTest : public KeltoFixture {
protected:
    const Target& target() const override { return kLinux; }
};

// Cases of the Wayland clipboard alone.
class WaylandOnlyTest : public KeltoFixture {
protected:
    const Target& target() const override { return kWayland; }
};

}  // namespace e2e
