// The Wayland clipboard: whether the compositor offers a data-control
// protocol (one round trip through libwayland-client), and the list itself
// through wl-paste, every wait bounded.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/clipboard_sources.h"

extern char** environ;

namespace {

// A step (the compositor's answer, one run of wl-paste) that takes longer fails.
constexpr std::int64_t kStepTimeoutMs = 2000;

constexpr const char* kListTypes[] = {"text/uri-list", "x-special/gnome-copied-files",
                                      "x-special/mate-copied-files"};

std::string gChosenType;

std::int64_t NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// libwayland reports connection trouble on standard error; the user's
// terminal is no place for it, since X11 is tried next.
void QuietLog(const char*, va_list) {}

struct Globals {
    bool dataControl = false;
    bool answered = false;
};

void OnGlobal(void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
    if (std::strcmp(interface, "zwlr_data_control_manager_v1") == 0 ||
        std::strcmp(interface, "ext_data_control_manager_v1") == 0) {
        static_cast<Globals*>(data)->dataControl = true;
    }
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}

void OnDone(void* data, wl_callback*, std::uint32_t) { static_cast<Globals*>(data)->answered = true; }

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};
const wl_callback_listener kDoneListener = {OnDone};

// Reads the compositor's announced globals, waiting no longer than the step
// time. False when it did not answer in time or the connection broke.
bool ReadGlobals(wl_display* display, Globals* globals) {
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, globals);
    wl_callback* done = wl_display_sync(display);
    wl_callback_add_listener(done, &kDoneListener, globals);
    const std::int64_t deadline = NowMs() + kStepTimeoutMs;
    bool ok = true;
    while (ok && !globals->answered) {
        while (ok && wl_display_prepare_read(display) != 0) {
            ok = wl_display_dispatch_pending(display) >= 0;
        }
        if (!ok) break;
        if (globals->answered) {
            wl_display_cancel_read(display);
            break;
        }
        wl_display_flush(display);
        const std::int64_t remaining = deadline - NowMs();
        pollfd watched = {wl_display_get_fd(display), POLLIN, 0};
        if (remaining <= 0 || poll(&watched, 1, static_cast<int>(remaining)) <= 0) {
            wl_display_cancel_read(display);
            ok = false;
            break;
        }
        ok = wl_display_read_events(display) == 0 && wl_display_dispatch_pending(display) >= 0;
    }
    wl_callback_destroy(done);
    wl_registry_destroy(registry);
    return ok;
}

// Runs wl-paste with `arguments` in a process group of its own, with no
// shell, collecting its standard output; its standard error is read and
// dropped. Returns its exit status, or -1 when it could not start or did not
// finish within the step time (then its whole group is ended: wl-paste reads
// through a child of its own).
int RunWlPaste(const std::vector<const char*>& arguments, std::string* out) {
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) return -1;
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("wl-paste"));
    for (const char* argument : arguments) argv.push_back(const_cast<char*>(argument));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, "wl-paste", &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(outPipe[1]);
    close(errPipe[1]);
    if (spawned != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        return -1;
    }

    const std::int64_t deadline = NowMs() + kStepTimeoutMs;
    bool outOpen = true;
    bool errOpen = true;
    bool timedOut = false;
    char buffer[65536];
    while (outOpen || errOpen) {
        const std::int64_t remaining = deadline - NowMs();
        if (remaining <= 0) {
            timedOut = true;
            break;
        }
        pollfd watched[2] = {{outOpen ? outPipe[0] : -1, POLLIN, 0},
                             {errOpen ? errPipe[0] : -1, POLLIN, 0}};
        if (poll(watched, 2, static_cast<int>(remaining)) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (watched[i].revents == 0) continue;
            const ssize_t got = read(watched[i].fd, buffer, sizeof buffer);
            if (got > 0 && i == 0) out->append(buffer, static_cast<std::size_t>(got));
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) {
                (i == 0 ? outOpen : errOpen) = false;
            }
        }
    }
    if (timedOut) kill(-pid, SIGKILL);
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace

WaylandClipboard ProbeWaylandClipboard() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (name == nullptr || name[0] == '\0') return WaylandClipboard::kNone;
    wl_log_set_handler_client(QuietLog);
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return WaylandClipboard::kNone;
    Globals globals;
    const bool answered = ReadGlobals(display, &globals);
    wl_display_disconnect(display);
    if (!answered) return WaylandClipboard::kNoAnswer;
    return globals.dataControl ? WaylandClipboard::kDataControl : WaylandClipboard::kOther;
}

bool WaylandPasteAvailable() {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        if (access((folder + "/wl-paste").c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

bool WaylandClipboardHasFileList() {
    gChosenType.clear();
    std::string types;
    if (RunWlPaste({"--list-types"}, &types) != 0) return false;
    for (const char* wanted : kListTypes) {
        std::size_t start = 0;
        while (start < types.size()) {
            std::size_t end = types.find('\n', start);
            if (end == std::string::npos) end = types.size();
            if (types.compare(start, end - start, wanted) == 0) {
                gChosenType = wanted;
                return true;
            }
            start = end + 1;
        }
    }
    return false;
}

bool WaylandClipboardFileList(DropList* list) {
    if (gChosenType.empty()) return false;
    std::string data;
    if (RunWlPaste({"--no-newline", "--type", gChosenType.c_str()}, &data) != 0) return false;
    const UriListKind kind =
        gChosenType == kListTypes[0] ? UriListKind::kUriList : UriListKind::kCopiedFiles;
    return ParseLocalFileList(data, kind, list);
}
