// The clipboard on Linux: the Wayland clipboard where the compositor lets a
// client read it without a window of its own (data-control), else X11's.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/clipboard_sources.h"
#include "platform/posix/last_error.h"

namespace {

enum class Source { kNone, kX11, kWayland };

Source gSource = Source::kNone;
DropList gDropList;

}  // namespace

bool ParseLocalFileList(const std::string& data, UriListKind kind, DropList* list) {
    char hostName[256] = {};
    if (gethostname(hostName, sizeof hostName - 1) != 0) hostName[0] = '\0';
    return ParseFileUriList(data.data(), data.size(), kind, hostName, list);
}

bool ClipboardOpen() {
    gSource = Source::kNone;
    switch (ProbeWaylandClipboard()) {
        case WaylandClipboard::kNoAnswer:
            return false;
        case WaylandClipboard::kDataControl:
            if (WaylandPasteAvailable()) {
                gSource = Source::kWayland;
                return true;
            }
            std::fflush(stdout);
            std::fprintf(stderr,
                         "kelto: reading the Wayland clipboard needs wl-paste (package "
                         "wl-clipboard); trying X11 instead.\n");
            break;
        case WaylandClipboard::kNone:
        case WaylandClipboard::kOther:
            break;
    }
    if (!X11ClipboardOpen()) return false;
    gSource = Source::kX11;
    return true;
}

bool ClipboardHasFileList() {
    switch (gSource) {
        case Source::kWayland: return WaylandClipboardHasFileList();
        case Source::kX11: return X11ClipboardHasFileList();
        case Source::kNone: return false;
    }
    return false;
}

const DropList* ClipboardFileList() {
    bool read = false;
    switch (gSource) {
        case Source::kWayland: read = WaylandClipboardFileList(&gDropList); break;
        case Source::kX11: read = X11ClipboardFileList(&gDropList); break;
        case Source::kNone: break;
    }
    return read ? &gDropList : nullptr;
}

std::uint32_t DropListCount(const DropList* list) {
    return static_cast<std::uint32_t>(list->starts.size());
}

bool DropListItem(const DropList* list, std::uint32_t index, PathText* path) {
    if (index >= list->starts.size()) return Fail(ENOENT);
    const char* item = list->paths.data() + list->starts[index];
    const std::size_t length = std::strlen(item);
    if (length >= sizeof path->text) return Fail(ENAMETOOLONG);
    std::memcpy(path->text, item, length + 1);
    return true;
}

bool ClipboardClose() {
    const Source closing = gSource;
    gSource = Source::kNone;
    switch (closing) {
        case Source::kWayland: return true;
        case Source::kX11: return X11ClipboardClose();
        case Source::kNone: return false;
    }
    return false;
}
