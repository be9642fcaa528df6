// The clipboard on X11 through libxcb: the CLIPBOARD selection's file list,
// read with bounded waits so that a stopped owner or server cannot hang us.
#include <poll.h>
#include <time.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>  // xcb_poll_for_reply

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/clipboard_sources.h"
#include "platform/posix/uri_list.h"

namespace {

// A step (connecting, asking for the targets, reading one piece of the list)
// that gets no answer within this time fails.
constexpr std::int64_t kStepTimeoutMs = 2000;

enum Atom { kClipboard, kTargets, kIncr, kUriList, kGnomeCopied, kMateCopied, kProperty, kAtomCount };
constexpr const char* kAtomNames[kAtomCount] = {
    "CLIPBOARD", "TARGETS", "INCR", "text/uri-list", "x-special/gnome-copied-files",
    "x-special/mate-copied-files", "KELTO_SELECTION"};
// The list targets in the order we prefer them.
constexpr Atom kListTargets[] = {kUriList, kGnomeCopied, kMateCopied};

struct Session {
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = XCB_NONE;
    xcb_atom_t atoms[kAtomCount] = {};
    Atom chosenTarget = kAtomCount;
    std::vector<xcb_generic_event_t*> pending;  // events read while waiting for replies
};

Session gSession;

std::int64_t NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// Reads whatever the server has sent; events are kept in `pending`, replies
// stay in libxcb's queue. False once the connection has failed.
bool DrainSocket() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(gSession.connection)) {
        gSession.pending.push_back(event);
    }
    return xcb_connection_has_error(gSession.connection) == 0;
}

// Sleeps until the server sends more or the deadline passes. False on timeout.
bool WaitForServer(std::int64_t deadline) {
    const std::int64_t remaining = deadline - NowMs();
    if (remaining <= 0) return false;
    pollfd watched = {xcb_get_file_descriptor(gSession.connection), POLLIN, 0};
    const int ready = poll(&watched, 1, static_cast<int>(remaining));
    return ready > 0 || (ready < 0 && errno == EINTR);
}

// The reply to request `sequence`, or null on an error reply, a broken
// connection or no answer before the deadline.
void* WaitReply(unsigned int sequence, std::int64_t deadline) {
    if (xcb_flush(gSession.connection) <= 0) return nullptr;
    for (;;) {
        if (!DrainSocket()) return nullptr;
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        if (xcb_poll_for_reply(gSession.connection, sequence, &reply, &error) != 0) {
            std::free(error);
            return reply;
        }
        if (!WaitForServer(deadline)) return nullptr;
    }
}

bool IsSelectionNotify(const xcb_generic_event_t* event, xcb_atom_t target) {
    if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY) return false;
    const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
    return notify->requestor == gSession.window && notify->selection == gSession.atoms[kClipboard] &&
           notify->target == target;
}

bool IsNewValueOfProperty(const xcb_generic_event_t* event) {
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
    const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    return notify->window == gSession.window && notify->atom == gSession.atoms[kProperty] &&
           notify->state == XCB_PROPERTY_NEW_VALUE;
}

bool IsPropertyNotify(const xcb_generic_event_t* event) {
    return (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
}

// Takes the first pending event that `matches`, waiting for it until the
// deadline. With `dropEarlierPropertyNotes`, property notes that came before
// it are discarded: they belong to earlier transfers.
template <typename Match>
xcb_generic_event_t* WaitEvent(Match matches, std::int64_t deadline, bool dropEarlierPropertyNotes) {
    if (xcb_flush(gSession.connection) <= 0) return nullptr;
    for (;;) {
        if (!DrainSocket()) return nullptr;
        auto& pending = gSession.pending;
        const auto found = std::find_if(pending.begin(), pending.end(), matches);
        if (found != pending.end()) {
            xcb_generic_event_t* event = *found;
            const auto end = dropEarlierPropertyNotes ? found + 1 : pending.begin();
            auto keep = pending.begin();
            for (auto it = pending.begin(); it != pending.end(); ++it) {
                if (*it == event) continue;
                if (it < end && IsPropertyNotify(*it)) {
                    std::free(*it);
                    continue;
                }
                *keep++ = *it;
            }
            pending.erase(keep, pending.end());
            return event;
        }
        if (!WaitForServer(deadline)) return nullptr;
    }
}

// Asks the owner to convert the clipboard to `target` into our property.
// False when it refuses or does not answer in time.
bool ConvertClipboard(xcb_atom_t target) {
    xcb_convert_selection(gSession.connection, gSession.window, gSession.atoms[kClipboard], target,
                          gSession.atoms[kProperty], XCB_CURRENT_TIME);
    xcb_generic_event_t* event = WaitEvent(
        [target](const xcb_generic_event_t* e) { return IsSelectionNotify(e, target); },
        NowMs() + kStepTimeoutMs, /*dropEarlierPropertyNotes=*/true);
    if (event == nullptr) return false;
    const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
    const bool converted = notify->property != XCB_NONE;
    std::free(event);
    return converted;
}

XcbReply<xcb_get_property_reply_t> GetProperty(bool remove, std::int64_t deadline) {
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(gSession.connection, remove ? 1 : 0, gSession.window,
                         gSession.atoms[kProperty], XCB_GET_PROPERTY_TYPE_ANY, 0, 0x1fffffff);
    return XcbReply<xcb_get_property_reply_t>(
        static_cast<xcb_get_property_reply_t*>(WaitReply(cookie.sequence, deadline)));
}

void AppendValue(const xcb_get_property_reply_t* reply, std::string* out) {
    const int length = xcb_get_property_value_length(reply);
    if (length > 0) out->append(static_cast<const char*>(xcb_get_property_value(reply)), length);
}

// Reads the converted value from our property, in pieces when the owner
// sends it incrementally (INCR). Each piece must come within the step time.
bool ReadProperty(std::string* out) {
    out->clear();
    auto reply = GetProperty(/*remove=*/true, NowMs() + kStepTimeoutMs);
    if (!reply) return false;
    if (reply->type != gSession.atoms[kIncr]) {
        AppendValue(reply.get(), out);
        return true;
    }
    // The delete of the INCR property (done by the read above) starts the
    // transfer; an empty piece ends it.
    for (;;) {
        const std::int64_t deadline = NowMs() + kStepTimeoutMs;
        xcb_generic_event_t* event =
            WaitEvent(IsNewValueOfProperty, deadline, /*dropEarlierPropertyNotes=*/false);
        if (event == nullptr) return false;
        std::free(event);
        auto piece = GetProperty(/*remove=*/true, deadline);
        if (!piece) return false;
        if (xcb_get_property_value_length(piece.get()) == 0) return true;
        AppendValue(piece.get(), out);
    }
}

// xcb_connect can block for good on a server that accepts but never answers,
// so it runs beside us and we wait for it a bounded time. A connection that
// comes too late is left to the process's end.
xcb_connection_t* ConnectBounded() {
    struct Attempt {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
        xcb_connection_t* connection = nullptr;
    };
    auto attempt = std::make_shared<Attempt>();
    std::thread([attempt] {
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        std::lock_guard<std::mutex> guard(attempt->lock);
        attempt->connection = connection;
        attempt->finished = true;
        attempt->done.notify_one();
    }).detach();
    std::unique_lock<std::mutex> guard(attempt->lock);
    if (!attempt->done.wait_for(guard, std::chrono::milliseconds(kStepTimeoutMs),
                                [&] { return attempt->finished; })) {
        return nullptr;
    }
    return attempt->connection;
}

void Disconnect() {
    for (xcb_generic_event_t* event : gSession.pending) std::free(event);
    gSession.pending.clear();
    if (gSession.connection != nullptr) xcb_disconnect(gSession.connection);
    gSession.connection = nullptr;
    gSession.window = XCB_NONE;
}

}  // namespace

bool X11ClipboardOpen() {
    // A run that ends early still leaves the server cleanly.
    static const bool disconnectAtExit = std::atexit(Disconnect) == 0;
    (void)disconnectAtExit;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') return false;
    gSession.connection = ConnectBounded();
    if (gSession.connection == nullptr) return false;
    if (xcb_connection_has_error(gSession.connection) != 0) {
        Disconnect();
        return false;
    }
    const xcb_setup_t* setup = xcb_get_setup(gSession.connection);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    if (screen == nullptr) {
        Disconnect();
        return false;
    }

    // All atoms in one round trip.
    xcb_intern_atom_cookie_t cookies[kAtomCount];
    for (int i = 0; i < kAtomCount; ++i) {
        cookies[i] = xcb_intern_atom(gSession.connection, 0,
                                     static_cast<std::uint16_t>(std::strlen(kAtomNames[i])),
                                     kAtomNames[i]);
    }
    const std::int64_t deadline = NowMs() + kStepTimeoutMs;
    for (int i = 0; i < kAtomCount; ++i) {
        XcbReply<xcb_intern_atom_reply_t> reply(
            static_cast<xcb_intern_atom_reply_t*>(WaitReply(cookies[i].sequence, deadline)));
        if (!reply) {
            Disconnect();
            return false;
        }
        gSession.atoms[i] = reply->atom;
    }

    gSession.window = xcb_generate_id(gSession.connection);
    const std::uint32_t eventMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(gSession.connection, XCB_COPY_FROM_PARENT, gSession.window, screen->root, 0,
                      0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                      XCB_CW_EVENT_MASK, &eventMask);
    return xcb_flush(gSession.connection) > 0;
}

bool X11ClipboardHasFileList() {
    gSession.chosenTarget = kAtomCount;
    if (gSession.connection == nullptr) return false;
    const xcb_get_selection_owner_cookie_t cookie =
        xcb_get_selection_owner(gSession.connection, gSession.atoms[kClipboard]);
    XcbReply<xcb_get_selection_owner_reply_t> owner(static_cast<xcb_get_selection_owner_reply_t*>(
        WaitReply(cookie.sequence, NowMs() + kStepTimeoutMs)));
    if (!owner || owner->owner == XCB_NONE) return false;

    std::string targets;
    if (!ConvertClipboard(gSession.atoms[kTargets]) || !ReadProperty(&targets)) return false;
    const auto* offered = reinterpret_cast<const xcb_atom_t*>(targets.data());
    const std::size_t offeredCount = targets.size() / sizeof(xcb_atom_t);
    for (Atom candidate : kListTargets) {
        for (std::size_t i = 0; i < offeredCount; ++i) {
            xcb_atom_t atom;
            std::memcpy(&atom, offered + i, sizeof atom);
            if (atom == gSession.atoms[candidate]) {
                gSession.chosenTarget = candidate;
                return true;
            }
        }
    }
    return false;
}

bool X11ClipboardFileList(DropList* list) {
    if (gSession.connection == nullptr || gSession.chosenTarget == kAtomCount) return false;
    std::string data;
    if (!ConvertClipboard(gSession.atoms[gSession.chosenTarget]) || !ReadProperty(&data)) {
        return false;
    }
    const UriListKind kind =
        gSession.chosenTarget == kUriList ? UriListKind::kUriList : UriListKind::kCopiedFiles;
    return ParseLocalFileList(data, kind, list);
}

bool X11ClipboardClose() {
    if (gSession.connection == nullptr) return false;
    Disconnect();
    return true;
}
