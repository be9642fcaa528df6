// End-to-end harness: runs the real program against a headless X server, a
// real clipboard owner (xclip) and real folders, and captures what it writes.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;         // exit status; -1 when killed
    int signal = 0;          // the signal that ended it, if any
    bool timedOut = false;
    std::string out;         // standard output, every byte
    std::string err;         // standard error, every byte
    double seconds = 0;
};

struct RunOptions {
    fs::path cwd;
    std::vector<std::string> setEnv;    // "NAME=value"
    std::vector<std::string> unsetEnv;  // "NAME"
    int timeoutMs = 30000;
    bool terminal = false;  // standard output (and error) on a pseudo-terminal
    // When standard output first holds this text, the program gets SIGINT.
    std::string interruptAfter;
};

// Runs `argv` and waits for it (or kills its process group at the timeout).
RunResult Run(const std::vector<std::string>& argv, const RunOptions& options);

// A build of kelto under test: the Linux program, or the Windows program run
// under Wine (when KELTO_WINDOWS_EXE names it).
struct Target {
    const char* name;
    bool windows;
    std::size_t pathCapacity;  // bytes of a path buffer, terminator included
    bool wayland;              // the Linux program in a Wayland session (headless sway)
};
extern const Target kLinux;
extern const Target kWindows;
extern const Target kWayland;

// The environment of a client of the test run's headless sway (started on
// first use): XDG_RUNTIME_DIR and WAYLAND_DISPLAY, as "NAME=value".
std::vector<std::string> WaylandClientEnv();

// Whether `target` can run here; `why` says what is missing when not.
bool TargetAvailable(const Target& target, std::string* why);

// Runs `target` with `args` in `cwd`.
RunResult RunKelto(const Target& target, const std::vector<std::string>& args, const fs::path& cwd,
                   RunOptions options = {});
// Runs build/kelto.
inline RunResult RunKelto(const std::vector<std::string>& args, const fs::path& cwd,
                          RunOptions options = {}) {
    return RunKelto(kLinux, args, cwd, options);
}

// How `target` names a path of this machine (Wine: Z:\tmp\...).
std::string NativePath(const Target& target, const fs::path& path);

// A system error text with the POSIX words `posixWords`, with the line break
// that ends every system text. Compared word for word on Linux and by its
// shape on Windows, whose texts are the system's own.
std::string SystemText(const std::string& posixWords);

// Literal expected text (Linux form: "\n" line ends, UTF-8 glyphs) as
// `target` writes it.
std::string TargetText(const Target& target, const std::string& text);

// Checks that `actual` is one of `expected` (Linux form, SystemText marks).
void ExpectOutputOneOf(const Target& target, const std::string& actual,
                       const std::vector<std::string>& expected);
inline void ExpectOutput(const Target& target, const std::string& actual,
                         const std::string& expected) {
    ExpectOutputOneOf(target, actual, {expected});
}

// Starts a headless X server for the whole test run and points DISPLAY at it;
// stops it and anything Wine left running.
void StartXServer();
void StopXServer();

// Owns the clipboard: X11's CLIPBOARD selection through xclip, or after
// UseWayland() the Wayland clipboard through wl-copy.
class ClipboardOwner {
public:
    ~ClipboardOwner();
    void UseWayland() { wayland_ = true; }
    // Offers `data` as `type`; returns once a reader can see it.
    void Offer(const std::string& type, const std::string& data);
    // Ends the owner; returns once no reader sees it any more.
    void Stop();
    void Pause();   // SIGSTOP: the owner stays but never answers
    void Resume();  // SIGCONT

private:
    bool OwnerOffers(const std::string& type) const;
    bool AnyOwnerAnswers() const;

    pid_t pid_ = -1;
    bool wayland_ = false;
};

// A stand-in Wayland compositor on a socket of its own, for the cases a real
// one cannot show: one that offers no data-control protocol, and one that
// accepts a client but never answers.
class FakeCompositor {
public:
    enum class Behaviour { kWithoutDataControl, kSilent };
    explicit FakeCompositor(Behaviour behaviour);
    ~FakeCompositor();
    // The environment of its clients, as "NAME=value".
    std::vector<std::string> ClientEnv() const;

private:
    void Serve();

    Behaviour behaviour_;
    fs::path folder_;
    int listener_ = -1;
    int stopPipe_[2] = {-1, -1};
    pid_t server_ = -1;
};

// A fresh folder under /tmp, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

// A small tmpfs mounted on a fresh folder (needs root); `ok()` says whether
// the mount worked.
class SmallTmpfs {
public:
    explicit SmallTmpfs(const std::string& size);
    ~SmallTmpfs();
    bool ok() const { return mounted_; }
    const fs::path& path() const { return dir_.path(); }

private:
    TempDir dir_;
    bool mounted_ = false;
};

void WriteFile(const fs::path& path, const std::string& content);
std::string ReadFile(const fs::path& path);
// Names in a folder in the order its listing yields them ("." and ".." left out).
std::vector<std::string> ListingOrder(const fs::path& folder);
// A text/uri-list for `paths`, each line ending in CRLF, as GTK sends it.
std::string UriList(const std::vector<fs::path>& paths);
// Every file, folder and link under `root`, relative, sorted, with file
// contents and link targets: two trees are equal when their snapshots are.
std::string Snapshot(const fs::path& root);

}  // namespace e2e
