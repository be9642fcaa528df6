// The clipboard's file drop list (CF_HDROP) on Win32.
#include <windows.h>
#include <shellapi.h>

#include "platform/platform.h"
#include "platform/win32/last_error.h"

namespace {

HDROP AsDrop(const DropList* list) {
    return reinterpret_cast<HDROP>(const_cast<DropList*>(list));
}

}  // namespace

bool ClipboardOpen() { return OpenClipboard(nullptr) != 0; }

bool ClipboardHasFileList() { return IsClipboardFormatAvailable(CF_HDROP) != 0; }

const DropList* ClipboardFileList() {
    return reinterpret_cast<const DropList*>(GetClipboardData(CF_HDROP));
}

std::uint32_t DropListCount(const DropList* list) {
    return DragQueryFileA(AsDrop(list), 0xFFFFFFFF, nullptr, 0);
}

bool DropListItem(const DropList* list, std::uint32_t index, PathText* path) {
    // Ask the length first: a path that does not fit is refused, never cut.
    const UINT length = DragQueryFileA(AsDrop(list), index, nullptr, 0);
    if (length >= sizeof path->text) return Fail(ERROR_FILENAME_EXCED_RANGE);
    path->text[0] = '\0';
    DragQueryFileA(AsDrop(list), index, path->text, sizeof path->text);
    return true;
}

bool ClipboardClose() { return CloseClipboard() != 0; }
