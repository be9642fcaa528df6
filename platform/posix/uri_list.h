// The file lists that X11 and Wayland clipboards carry: text/uri-list and the
// copied-files lists of GNOME and MATE file managers, turned into local paths.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"

struct DropList {
    std::string paths;                // every path, each followed by a zero byte
    std::vector<std::size_t> starts;  // where each path begins in `paths`
};

enum class UriListKind {
    kUriList,      // text/uri-list
    kCopiedFiles,  // x-special/gnome-copied-files, x-special/mate-copied-files
};

// Splits on "\n", drops a trailing "\r" and trailing zero bytes, skips empty
// lines and "#" comments (and, in a copied-files list, its first line, "copy"
// or "cut"). Each item must be a local file URI: file:///path, file:/path,
// file://localhost/path or file://HOSTNAME/path for `hostName`; its percent
// escapes decode to raw bytes and a trailing "/" is dropped. False, with
// `list` emptied, when any item is not such a URI: then the whole list is not
// a file list.
bool ParseFileUriList(const char* data, std::size_t size, UriListKind kind, const char* hostName,
                      DropList* list);
