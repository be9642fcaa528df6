#include "e2e/harness.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace {

pid_t gXServer = -1;

double Now() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// In a child: standard input, output and error on /dev/null.
void SilenceStandardStreams() {
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
}

[[noreturn]] void Fatal(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// In the child: environment, folder, then exec. Never returns.
[[noreturn]] void ExecChild(std::vector<std::string> argv, const RunOptions& options) {
    setpgid(0, 0);
    for (const std::string& name : options.unsetEnv) unsetenv(name.c_str());
    for (const std::string& pair : options.setEnv) {
        const std::size_t eq = pair.find('=');
        setenv(pair.substr(0, eq).c_str(), pair.substr(eq + 1).c_str(), 1);
    }
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
    std::vector<char*> args = Pointers(argv);
    execvp(args[0], args.data());
    _exit(127);
}

void ReadAvailable(int fd, std::string* into, bool* open) {
    char buffer[65536];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) {
        into->append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
        *open = false;
    }
}


}  // namespace

RunResult Run(const std::vector<std::string>& argv, const RunOptions& options) {
    RunResult result;
    const double start = Now();
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    int terminal = -1;
    pid_t pid;
    if (options.terminal) {
        pid = forkpty(&terminal, nullptr, nullptr, nullptr);
        if (pid < 0) Fatal("forkpty");
        if (pid == 0) ExecChild(argv, options);
    } else {
        if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) Fatal("pipe");
        pid = fork();
        if (pid < 0) Fatal("fork");
        if (pid == 0) {
            const int devNull = open("/dev/null", O_RDONLY);
            dup2(devNull, STDIN_FILENO);
            dup2(outPipe[1], STDOUT_FILENO);
            dup2(errPipe[1], STDERR_FILENO);
            ExecChild(argv, options);
        }
        close(outPipe[1]);
        close(errPipe[1]);
    }

    const double deadline = start + options.timeoutMs / 1000.0;
    bool outOpen = true;
    bool errOpen = !options.terminal;
    const int outFd = options.terminal ? terminal : outPipe[0];
    bool interrupted = options.interruptAfter.empty();
    while (outOpen || errOpen) {
        if (!interrupted && result.out.find(options.interruptAfter) != std::string::npos) {
            kill(pid, SIGINT);
            interrupted = true;
        }
        pollfd watched[2];
        nfds_t count = 0;
        if (outOpen) watched[count++] = {outFd, POLLIN, 0};
        if (errOpen) watched[count++] = {errPipe[0], POLLIN, 0};
        const int left = static_cast<int>((deadline - Now()) * 1000);
        if (left <= 0) {
            result.timedOut = true;
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            break;
        }
        if (poll(watched, count, std::min(left, 200)) <= 0) continue;
        for (nfds_t i = 0; i < count; ++i) {
            if (watched[i].revents == 0) continue;
            if (watched[i].fd == outFd) ReadAvailable(outFd, &result.out, &outOpen);
            else ReadAvailable(errPipe[0], &result.err, &errOpen);
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (outFd >= 0) close(outFd);
    if (errPipe[0] >= 0) close(errPipe[0]);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.seconds = Now() - start;
    return result;
}

const Target kLinux = {"linux", false, 4096, false};
const Target kWindows = {"windows", true, 260, false};
const Target kWayland = {"wayland", false, 4096, true};

namespace {

const char* WindowsExe() { return std::getenv("KELTO_WINDOWS_EXE"); }
const char* WineRun() { return std::getenv("KELTO_WINE_RUN"); }

pid_t gWineWindow = -1;

// Wine's desktop process runs its clipboard bridge. One windowed program kept
// open for the whole run keeps it up, so no run of kelto starts its own.
// Runs a command with no pipes of ours: Wine's background services inherit
// the standard streams of the program that starts them and outlive it.
int RunWithoutPipes(const std::vector<std::string>& argv, int timeoutMs) {
    const pid_t pid = fork();
    if (pid < 0) Fatal("fork");
    if (pid == 0) {
        SilenceStandardStreams();
        std::vector<std::string> args = argv;
        std::vector<char*> pointers = Pointers(args);
        execvp(pointers[0], pointers.data());
        _exit(127);
    }
    int status = 0;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; waited += 50) {
        if (waited >= timeoutMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void StartWine() {
    if (gWineWindow > 0) return;
    RunWithoutPipes({WineRun(), "wineboot"}, 120000);  // makes the prefix, starts the services
    gWineWindow = fork();
    if (gWineWindow == 0) {
        setsid();
        SilenceStandardStreams();
        execl(WineRun(), WineRun(), "notepad.exe", static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int attempt = 0; attempt < 300; ++attempt) {
        if (Run({"pgrep", "-f", "explorer.exe /desktop"}, {}).status == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

void StopWine() {
    if (gWineWindow <= 0) return;
    kill(-gWineWindow, SIGKILL);
    waitpid(gWineWindow, nullptr, 0);
    gWineWindow = -1;
    RunWithoutPipes({WineRun(), "--stop"}, 30000);
}

// The headless sway of the test run. sway refuses to run as root, so it runs
// as nobody, in a runtime folder of its own; root reaches its socket anyway.
constexpr uid_t kNobody = 65534;
pid_t gSway = -1;
fs::path gSwayRuntime;
std::string gSwaySocket;

void StartSway() {
    if (gSway > 0) return;
    char pattern[] = "/tmp/kelto-wayland-XXXXXX";
    if (mkdtemp(pattern) == nullptr) Fatal("mkdtemp");
    gSwayRuntime = pattern;
    WriteFile(gSwayRuntime / "config", "xwayland disable\n");
    if (chown(gSwayRuntime.c_str(), kNobody, kNobody) != 0 ||
        chmod(gSwayRuntime.c_str(), 0700) != 0) {
        Fatal("runtime folder for sway");
    }
    gSway = fork();
    if (gSway < 0) Fatal("fork");
    if (gSway == 0) {
        setsid();
        SilenceStandardStreams();
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(126);
        setenv("XDG_RUNTIME_DIR", gSwayRuntime.c_str(), 1);
        setenv("WLR_BACKENDS", "headless", 1);
        setenv("WLR_LIBINPUT_NO_DEVICES", "1", 1);
        setenv("WLR_RENDERER", "pixman", 1);
        setenv("HOME", gSwayRuntime.c_str(), 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        execlp("sway", "sway", "-c", (gSwayRuntime / "config").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int attempt = 0; attempt < 200 && gSwaySocket.empty(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        for (const std::string& name : ListingOrder(gSwayRuntime)) {
            if (name.rfind("wayland-", 0) == 0 && name.find(".lock") == std::string::npos) {
                gSwaySocket = name;
            }
        }
    }
    if (gSwaySocket.empty()) throw std::runtime_error("sway did not start (is it installed?)");
}

void StopSway() {
    if (gSway <= 0) return;
    kill(-gSway, SIGTERM);
    waitpid(gSway, nullptr, 0);
    gSway = -1;
    std::error_code ignored;
    fs::remove_all(gSwayRuntime, ignored);
    gSwaySocket.clear();
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

constexpr char kSystemTextStart = '\x1e';
constexpr char kSystemTextEnd = '\x1f';

std::string EscapeForRegex(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (std::strchr("\\^$.|?*+()[]{}", c) != nullptr) escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// The expected text on Linux: every system text with its words.
std::string LinuxForm(const std::string& expected) {
    std::string text;
    for (char c : expected) {
        if (c == kSystemTextStart) continue;
        text += c == kSystemTextEnd ? '\n' : c;
    }
    return text;
}

// The expected text on Windows as a pattern: a system text is any words
// ending in "\r\n", whose "\n" text mode writes as "\r\n" again.
std::string WindowsPattern(const std::string& expected) {
    std::string pattern;
    std::size_t at = 0;
    while (at < expected.size()) {
        const std::size_t start = expected.find(kSystemTextStart, at);
        pattern += EscapeForRegex(TargetText(kWindows, expected.substr(at, start - at)));
        if (start == std::string::npos) break;
        const std::size_t end = expected.find(kSystemTextEnd, start);
        pattern += "[^\r\n]+\r\r\n";
        at = end + 1;
    }
    return pattern;
}

}  // namespace

std::vector<std::string> WaylandClientEnv() {
    StartSway();
    return {"XDG_RUNTIME_DIR=" + gSwayRuntime.string(), "WAYLAND_DISPLAY=" + gSwaySocket};
}

bool TargetAvailable(const Target& target, std::string* why) {
    if (!target.windows) return true;
    if (WindowsExe() == nullptr || WineRun() == nullptr) {
        *why = "KELTO_WINDOWS_EXE and KELTO_WINE_RUN name no Windows build to run under Wine";
        return false;
    }
    return true;
}

std::string NativePath(const Target& target, const fs::path& path) {
    if (!target.windows) return path.string();
    return "Z:" + ReplaceAll(path.string(), "/", "\\");
}

std::string SystemText(const std::string& posixWords) {
    return kSystemTextStart + posixWords + kSystemTextEnd;
}

std::string TargetText(const Target& target, const std::string& text) {
    if (!target.windows) return text;
    std::string converted = text;
    const std::pair<const char*, const char*> glyphs[] = {
        {"\u2554", "\xC9"}, {"\u2550", "\xCD"}, {"\u2557", "\xBB"},
        {"\u2551", "\xBA"}, {"\u255A", "\xC8"}, {"\u255D", "\xBC"}};
    for (const auto& [utf8, codePage437] : glyphs) converted = ReplaceAll(converted, utf8, codePage437);
    return ReplaceAll(converted, "\n", "\r\n");
}

void ExpectOutputOneOf(const Target& target, const std::string& actual,
                       const std::vector<std::string>& expected) {
    for (const std::string& candidate : expected) {
        if (target.windows ? std::regex_match(actual, std::regex(WindowsPattern(candidate)))
                           : actual == LinuxForm(candidate)) {
            return;
        }
    }
    ADD_FAILURE() << "Output:\n" << ::testing::PrintToString(actual) << "\nExpected"
                  << (expected.size() > 1 ? " one of" : "") << ":\n"
                  << ::testing::PrintToString(target.windows ? TargetText(target, LinuxForm(expected[0]))
                                                             : LinuxForm(expected[0]));
}

RunResult RunKelto(const Target& target, const std::vector<std::string>& args, const fs::path& cwd,
                   RunOptions options) {
    std::vector<std::string> argv = {KELTO_BINARY};
    if (target.windows) {
        StartWine();
        argv = {WineRun(), WindowsExe()};
    }
    if (target.wayland) {
        for (const std::string& pair : WaylandClientEnv()) options.setEnv.push_back(pair);
    } else {
        // The Linux target reads X11 unless a case names a Wayland display itself.
        const bool named = std::any_of(options.setEnv.begin(), options.setEnv.end(),
                                       [](const std::string& pair) {
                                           return pair.rfind("WAYLAND_DISPLAY=", 0) == 0;
                                       });
        if (!named) options.unsetEnv.push_back("WAYLAND_DISPLAY");
    }
    argv.insert(argv.end(), args.begin(), args.end());
    options.cwd = cwd;
    RunResult result = Run(argv, options);
    // Under the sanitizers a report on standard error fails the test whatever
    // the program printed.
    const bool sanitizerReport = result.err.find("Sanitizer") != std::string::npos ||
                                 result.err.find("runtime error:") != std::string::npos;
    EXPECT_FALSE(sanitizerReport) << result.err;
    EXPECT_FALSE(result.timedOut) << "kelto did not end within " << options.timeoutMs << " ms";
    return result;
}

void StartXServer() {
    int displayPipe[2];
    if (pipe(displayPipe) != 0) Fatal("pipe");
    gXServer = fork();
    if (gXServer < 0) Fatal("fork");
    if (gXServer == 0) {
        close(displayPipe[0]);
        SilenceStandardStreams();
        const std::string fd = std::to_string(displayPipe[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-noreset",
               "-screen", "0", "320x200x24", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(displayPipe[1]);
    std::string number;
    char c;
    while (read(displayPipe[0], &c, 1) == 1 && c != '\n') number += c;
    close(displayPipe[0]);
    if (number.empty()) throw std::runtime_error("Xvfb did not start (is it installed?)");
    setenv("DISPLAY", (":" + number).c_str(), 1);
}

void StopXServer() {
    StopWine();
    StopSway();
    if (gXServer > 0) {
        kill(gXServer, SIGTERM);
        waitpid(gXServer, nullptr, 0);
        gXServer = -1;
    }
}

ClipboardOwner::~ClipboardOwner() { Stop(); }

void ClipboardOwner::Offer(const std::string& type, const std::string& data) {
    Stop();
    int input[2];
    if (pipe2(input, O_CLOEXEC) != 0) Fatal("pipe");
    const std::vector<std::string> waylandEnv = wayland_ ? WaylandClientEnv() : std::vector<std::string>{};
    pid_ = fork();
    if (pid_ < 0) Fatal("fork");
    if (pid_ == 0) {
        dup2(input[0], STDIN_FILENO);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        if (wayland_) {
            for (const std::string& pair : waylandEnv) {
                const std::size_t eq = pair.find('=');
                setenv(pair.substr(0, eq).c_str(), pair.substr(eq + 1).c_str(), 1);
            }
            execlp("wl-copy", "wl-copy", "--foreground", "--type", type.c_str(),
                   static_cast<char*>(nullptr));
        } else {
            execlp("xclip", "xclip", "-quiet", "-selection", "clipboard", "-t", type.c_str(), "-i",
                   static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    close(input[0]);
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = write(input[1], data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fatal("write to xclip");
        written += static_cast<std::size_t>(n);
    }
    close(input[1]);
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (OwnerOffers(type)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    throw std::runtime_error("the clipboard owner never offered " + type);
}

bool ClipboardOwner::OwnerOffers(const std::string& type) const {
    RunOptions options;
    options.timeoutMs = 3000;
    RunResult targets;
    if (wayland_) {
        options.setEnv = WaylandClientEnv();
        targets = Run({"wl-paste", "--list-types"}, options);
    } else {
        targets = Run({"xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"}, options);
    }
    return targets.status == 0 && targets.out.find(type) != std::string::npos;
}

bool ClipboardOwner::AnyOwnerAnswers() const {
    RunOptions options;
    options.timeoutMs = 3000;
    if (wayland_) {
        options.setEnv = WaylandClientEnv();
        return Run({"wl-paste", "--list-types"}, options).status == 0;
    }
    return Run({"xclip", "-o", "-selection", "clipboard", "-t", "TARGETS"}, options).status == 0;
}

void ClipboardOwner::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGCONT);
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    for (int attempt = 0; attempt < 100 && AnyOwnerAnswers(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void ClipboardOwner::Pause() { kill(pid_, SIGSTOP); }

void ClipboardOwner::Resume() { kill(pid_, SIGCONT); }

namespace {

void PutWord(std::string* message, std::uint32_t word) {
    message->append(reinterpret_cast<const char*>(&word), sizeof word);
}

// One Wayland event: object, opcode and size, then the arguments.
std::string WaylandEvent(std::uint32_t object, std::uint16_t opcode, const std::string& arguments) {
    std::string message;
    PutWord(&message, object);
    PutWord(&message, static_cast<std::uint32_t>((8 + arguments.size()) << 16) | opcode);
    return message + arguments;
}

std::string WaylandString(const std::string& text) {
    std::string argument;
    PutWord(&argument, static_cast<std::uint32_t>(text.size() + 1));
    argument += text;
    argument.append(4 - text.size() % 4, '\0');  // the terminator, padded to 4 bytes
    return argument;
}

}  // namespace

FakeCompositor::FakeCompositor(Behaviour behaviour) : behaviour_(behaviour) {
    char pattern[] = "/tmp/kelto-fake-wayland-XXXXXX";
    if (mkdtemp(pattern) == nullptr) Fatal("mkdtemp");
    folder_ = pattern;
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s/wayland-fake", pattern);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 8) != 0) {
        Fatal("fake compositor socket");
    }
    server_ = fork();
    if (server_ < 0) Fatal("fork");
    if (server_ == 0) {
        Serve();
        _exit(0);
    }
}

FakeCompositor::~FakeCompositor() {
    if (server_ > 0) {
        kill(server_, SIGKILL);
        waitpid(server_, nullptr, 0);
    }
    close(listener_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::vector<std::string> FakeCompositor::ClientEnv() const {
    return {"XDG_RUNTIME_DIR=" + folder_.string(), "WAYLAND_DISPLAY=wayland-fake"};
}

// Answers each client's first two requests (get_registry as object 2, sync as
// object 3) with one global that is not data-control, the sync's done and its
// removal; or answers nothing at all.
void FakeCompositor::Serve() {
    std::vector<int> clients;
    for (;;) {
        const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        clients.push_back(client);  // kept open: a silent compositor never hangs up
        if (behaviour_ == Behaviour::kSilent) continue;
        char requests[24];
        std::size_t got = 0;
        while (got < sizeof requests) {
            const ssize_t n = read(client, requests + got, sizeof requests - got);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        std::string global;
        PutWord(&global, 1);
        global += WaylandString("wl_compositor");
        PutWord(&global, 4);
        std::string serial;
        PutWord(&serial, 0);
        std::string deleted;
        PutWord(&deleted, 3);
        const std::string events = WaylandEvent(2, 0, global) + WaylandEvent(3, 0, serial) +
                                   WaylandEvent(1, 1, deleted);
        if (write(client, events.data(), events.size()) < 0) continue;
    }
}

TempDir::TempDir() {
    char pattern[] = "/tmp/kelto-e2e-XXXXXX";
    if (mkdtemp(pattern) == nullptr) Fatal("mkdtemp");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Give back any permission a test took away, so everything can go.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(path_, ignored);
}

SmallTmpfs::SmallTmpfs(const std::string& size) {
    const std::string options = "size=" + size;
    mounted_ = mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallTmpfs::~SmallTmpfs() {
    if (mounted_) umount2(dir_.path().c_str(), MNT_DETACH);
}

void WriteFile(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> ListingOrder(const fs::path& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    return names;
}

std::string UriList(const std::vector<fs::path>& paths) {
    std::string list;
    for (const fs::path& path : paths) {
        list += "file://";
        for (unsigned char c : path.string()) {
            if (std::isalnum(c) || std::strchr("/-._~&=!()$'+,", c) != nullptr) {
                list += static_cast<char>(c);
            } else {
                char escaped[4];
                std::snprintf(escaped, sizeof escaped, "%%%02X", c);
                list += escaped;
            }
        }
        list += "\r\n";
    }
    return list;
}

std::string Snapshot(const fs::path& root) {
    std::vector<std::string> lines;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string relative = fs::relative(it->path(), root).string();
        if (it->is_symlink()) {
            lines.push_back("L " + relative + " -> " + fs::read_symlink(it->path()).string());
        } else if (it->is_directory()) {
            lines.push_back("D " + relative);
        } else {
            lines.push_back("F " + relative + " = " + ReadFile(it->path()));
        }
    }
    std::sort(lines.begin(), lines.end());
    std::string snapshot;
    for (const std::string& line : lines) snapshot += line + "\n";
    return snapshot;
}

}  // namespace e2e
