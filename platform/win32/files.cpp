// Files and folders on Win32: listing, folder creation, copy, move.
#include <windows.h>
#include <direct.h>

#include <cstring>
#include <new>

#include "platform/dot_entries.h"
#include "platform/platform.h"
#include "platform/win32/last_error.h"

namespace {

struct ListingState {
    HANDLE find;
    WIN32_FIND_DATAA data;
    bool firstPending;  // FindFirstFileA's entry not yet handed out
    int yielded;
};

// Where a file lives: volume, file index and drive letter. Under some
// filesystems every volume reports serial 0, so identities are compared only
// within one drive letter.
struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
    char drive;
};

bool CopyText(char* out, std::size_t capacity, const char* text) {
    const std::size_t length = std::strlen(text);
    if (length >= capacity) return Fail(ERROR_FILENAME_EXCED_RANGE);
    std::memcpy(out, text, length + 1);
    return true;
}

char UpperDrive(const char* fullPath) {
    const char c = fullPath[0];
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool FullPath(const char* path, char* out) {
    const DWORD length = GetFullPathNameA(path, MAX_PATH, out, nullptr);
    return length > 0 && length < MAX_PATH;
}

bool IdentityOf(const char* path, FileIdentity* identity) {
    char full[MAX_PATH];
    if (!FullPath(path, full)) return false;
    const HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!known) return false;
    *identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow,
                 UpperDrive(full)};
    return true;
}

bool SameIdentity(const FileIdentity& a, const FileIdentity& b) {
    return a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow &&
           a.drive == b.drive;
}

bool IsSameFile(const char* first, const char* second) {
    FileIdentity a;
    FileIdentity b;
    return IdentityOf(first, &a) && IdentityOf(second, &b) && SameIdentity(a, b);
}

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Removes a file we made, read-only or not, keeping the last error as it was.
void RemoveOurFile(const char* path) {
    const DWORD saved = GetLastError();
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
    SetLastError(saved);
}

bool FlushToDisk(const char* path) {
    const HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FailWithLastError();
    const bool flushed = FlushFileBuffers(file) != 0;
    const DWORD error = GetLastError();
    CloseHandle(file);
    return flushed ? true : Fail(error);
}

// Copies to a fresh name beside the destination, then moves it into place
// (over an existing file only with `replace`). A failed copy leaves nothing
// behind and an old destination as it was.
bool CopyThroughTemporary(const char* source, const char* destination, bool replace, bool flush) {
    char folder[MAX_PATH];
    if (!CopyText(folder, sizeof folder, destination)) return false;
    char* lastSeparator = std::strrchr(folder, '\\');
    if (lastSeparator == nullptr) {
        std::strcpy(folder, ".");
    } else {
        lastSeparator[lastSeparator == folder ? 1 : 0] = '\0';
    }
    char temporary[MAX_PATH];
    if (std::strlen(folder) > MAX_PATH - 14) return Fail(ERROR_FILENAME_EXCED_RANGE);
    if (GetTempFileNameA(folder, "klt", 0, temporary) == 0) return FailWithLastError();
    if (!CopyFileA(source, temporary, FALSE)) {
        const DWORD error = GetLastError();
        RemoveOurFile(temporary);
        return Fail(error);
    }
    if (flush && !FlushToDisk(temporary)) {
        RemoveOurFile(temporary);
        return false;
    }
    if (!MoveFileExA(temporary, destination, replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
        const DWORD error = GetLastError();
        RemoveOurFile(temporary);
        return Fail(error);
    }
    return true;
}

}  // namespace

bool ListingStart(const char* folder, FolderListing* listing, FolderEntry* entry) {
    char pattern[MAX_PATH];
    const std::size_t length = std::strlen(folder);
    if (length + 4 >= sizeof pattern) return Fail(ERROR_FILENAME_EXCED_RANGE);
    std::memcpy(pattern, folder, length);
    std::memcpy(pattern + length, "\\*.*", 5);

    auto* state = new (std::nothrow) ListingState;
    if (state == nullptr) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    state->find = FindFirstFileA(pattern, &state->data);
    if (state->find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        delete state;
        return Fail(error);
    }
    state->firstPending = true;
    state->yielded = 0;
    listing->handle = state;
    return ListingNext(listing, entry);
}

bool ListingNext(FolderListing* listing, FolderEntry* entry) {
    auto* state = static_cast<ListingState*>(listing->handle);
    if (NextDotEntry(&state->yielded, entry)) return true;
    for (;;) {
        if (state->firstPending) {
            state->firstPending = false;
        } else if (!FindNextFileA(state->find, &state->data)) {
            return FailWithLastError();
        }
        const char* name = state->data.cFileName;
        if (IsDotEntry(name)) continue;
        if (!CopyText(entry->name, sizeof entry->name, name)) return false;
        entry->attributes = state->data.dwFileAttributes;
        ++state->yielded;
        return true;
    }
}

void ListingEnd(FolderListing* listing) {
    auto* state = static_cast<ListingState*>(listing->handle);
    if (state == nullptr) return;
    FindClose(state->find);
    delete state;
    listing->handle = nullptr;
}

bool ItemAttributes(const char* path, std::uint32_t* attributes) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA(path, &data);
    if (find == INVALID_HANDLE_VALUE) return FailWithLastError();
    FindClose(find);
    *attributes = data.dwFileAttributes;
    return true;
}

bool MakeFolder(const char* path) {
    return CreateDirectoryA(path, nullptr) ? true : FailWithLastError();
}

bool CopyFileTo(const char* source, const char* destination, bool failIfExists) {
    if (Exists(destination)) {
        if (IsSameFile(source, destination)) return Fail(kErrorSameFile);
        if (failIfExists) return Fail(ERROR_FILE_EXISTS);
    }
    return CopyThroughTemporary(source, destination, /*replace=*/!failIfExists, /*flush=*/false);
}

bool MoveFileTo(const char* source, const char* destination) {
    if (Exists(destination) && IsSameFile(source, destination)) return Fail(kErrorSameFile);
    if (MoveFileExA(source, destination, 0)) return true;
    if (GetLastError() != ERROR_NOT_SAME_DEVICE) return FailWithLastError();

    // Another volume: the copy must be whole and on disk before the source goes.
    if (!CopyThroughTemporary(source, destination, /*replace=*/false, /*flush=*/true)) return false;
    const DWORD attributes = GetFileAttributesA(source);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesA(source, attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (!DeleteFileA(source)) {
        const DWORD error = GetLastError();
        if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(source, attributes);
        RemoveOurFile(destination);
        return Fail(error);
    }
    return true;
}

bool FolderLiesInside(const char* destination, const char* source) {
    char fullSource[MAX_PATH];
    char fullDestination[MAX_PATH];
    if (!FullPath(source, fullSource) || !FullPath(destination, fullDestination)) return false;
    std::size_t sourceLength = std::strlen(fullSource);
    while (sourceLength > 3 && fullSource[sourceLength - 1] == '\\') fullSource[--sourceLength] = '\0';
    if (_strnicmp(fullDestination, fullSource, sourceLength) == 0 &&
        (fullDestination[sourceLength] == '\0' || fullDestination[sourceLength] == '\\')) {
        return true;
    }
    // Other routes to the same folder (junctions, short names, subst drives):
    // compare the source with the destination and each folder above it.
    FileIdentity sourceIdentity;
    if (!IdentityOf(source, &sourceIdentity)) return false;
    for (;;) {
        FileIdentity identity;
        if (IdentityOf(fullDestination, &identity) && SameIdentity(identity, sourceIdentity)) {
            return true;
        }
        char* last = std::strrchr(fullDestination, '\\');
        if (last == nullptr || last[1] == '\0') return false;
        last[last > fullDestination && last[-1] == ':' ? 1 : 0] = '\0';
    }
}

bool CurrentFolder(char* buffer, std::size_t capacity) {
    return _getcwd(buffer, static_cast<int>(capacity)) != nullptr;
}
