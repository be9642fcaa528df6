// The clipboards kelto can read on Linux. clipboard.cpp picks one when the
// clipboard is opened and hands every later call to it.
#pragma once

#include <string>

#include "platform/posix/uri_list.h"

// X11: the CLIPBOARD selection, through libxcb.
bool X11ClipboardOpen();
bool X11ClipboardHasFileList();
bool X11ClipboardFileList(DropList* list);
bool X11ClipboardClose();

// What a Wayland session offers kelto.
enum class WaylandClipboard {
    kNone,         // no Wayland session, or its compositor cannot be reached
    kNoAnswer,     // the compositor accepted us but did not answer in time
    kDataControl,  // a compositor with a data-control protocol: read it directly
    kOther,        // a compositor without one: its clipboard is mirrored to XWayland
};
WaylandClipboard ProbeWaylandClipboard();

// Wayland, through the wl-paste program; used only after kDataControl.
bool WaylandPasteAvailable();
bool WaylandClipboardHasFileList();
bool WaylandClipboardFileList(DropList* list);

// Parses `data` with this machine's host name.
bool ParseLocalFileList(const std::string& data, UriListKind kind, DropList* list);
