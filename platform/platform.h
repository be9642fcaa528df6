// The neutral platform interface. transfer/ and console/ reach the operating
// system only through these functions; platform/posix/ and platform/win32/
// implement them. Every service reports failure by its result and leaves the
// reason in the platform's last error, which PlatformSystemText() turns into
// the system's own words.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
inline constexpr std::size_t kPathCapacity = 260;  // MAX_PATH
inline constexpr std::size_t kNameCapacity = 260;  // cFileName
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr std::size_t kPathCapacity = 4096;  // PATH_MAX
inline constexpr std::size_t kNameCapacity = 256;   // NAME_MAX + 1
inline constexpr char kPathSeparator = '/';
#endif

// A path or name: zero-terminated bytes in a fixed buffer, at most
// kPathCapacity - 1 of them. Paths never arrive truncated: whatever would not
// fit is refused with the "name too long" error instead.
struct PathText {
    char text[kPathCapacity];
};

// Attribute words of listed entries and of single items.
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeFile = 0x20;
inline constexpr std::uint32_t kAttributeLink = 0x400;  // link or junction

// A folder to walk into: a folder bit without a link bit, whatever else is set.
inline bool IsFolderAttribute(std::uint32_t attributes) {
    return (attributes & kAttributeDirectory) != 0 && (attributes & kAttributeLink) == 0;
}

// ---- Startup ---------------------------------------------------------------

// Chooses how standard output is buffered: a 4096-byte buffer on a file or
// pipe; on a terminal each line as soon as it is complete (the Windows console,
// whose colours are not in the byte stream, gets every piece at once). Call
// once, before any output.
void PlatformStartOutput();

// ---- Last error --------------------------------------------------------------

// Makes the last error "name too long", as a path service would for a path
// that does not fit its buffer.
void PlatformSetNameTooLong();
bool PlatformLastErrorIsNameTooLong();

// The system's text for the last error, ending in a line break, newly
// allocated; null when none can be made. Release it with PlatformReleaseText.
char* PlatformSystemText();
void PlatformReleaseText(char* text);

// ---- Console -----------------------------------------------------------------

// The console attribute in force (a 16-bit attribute word).
int PlatformConsoleAttribute();
// Makes later output show in `attribute`. Output already written keeps its
// colour; where the attribute is not part of the byte stream, pending output is
// flushed first. Does nothing where standard output takes no colour.
void PlatformSetConsoleAttribute(int attribute);

// ---- Files and folders --------------------------------------------------------

struct FolderEntry {
    std::uint32_t attributes;
    char name[kNameCapacity];  // the name alone, without its folder
};

// An open listing of one folder. Its contents belong to the platform layer.
struct FolderListing {
    void* handle;
};

// Starts listing `folder`; on success `entry` holds the first entry. Every
// listing yields "." and ".." first, then every other entry once. False on
// failure, with the reason in the last error.
bool ListingStart(const char* folder, FolderListing* listing, FolderEntry* entry);
// The next entry; false when the listing ends (a failure counts the same).
bool ListingNext(FolderListing* listing, FolderEntry* entry);
// Closes a started listing.
void ListingEnd(FolderListing* listing);

// The attribute word of the item at `path` itself (a link is not followed).
bool ItemAttributes(const char* path, std::uint32_t* attributes);

// Makes a new folder; fails on an existing name.
bool MakeFolder(const char* path);

// Copies a file: its bytes, permission bits and modification time; a link is
// copied as a new link with the same target. With failIfExists an existing
// destination fails and stays untouched; otherwise it is replaced, but only
// once the new copy is complete. A failed copy leaves no partial destination.
// Copying a file onto itself, and copying a FIFO, socket or device, fail.
bool CopyFileTo(const char* source, const char* destination, bool failIfExists);

// Moves a file or link; never replaces an existing destination. Across
// filesystems it copies, flushes the copy to disk, then removes the source.
bool MoveFileTo(const char* source, const char* destination);

// True when `destination` is the folder `source` itself or lies inside its
// tree. The destination need not exist; its parent must.
bool FolderLiesInside(const char* destination, const char* source);

// The current folder, at most `capacity` bytes with its terminator. False on
// failure (also when it does not fit), with the runtime's error number set for
// perror.
bool CurrentFolder(char* buffer, std::size_t capacity);

// ---- Clipboard ------------------------------------------------------------------

struct DropList;  // the clipboard's file list, owned by the platform layer

bool ClipboardOpen();
// Non-zero when the clipboard holds a list of files.
bool ClipboardHasFileList();
// The file list; null when it cannot be obtained.
const DropList* ClipboardFileList();
std::uint32_t DropListCount(const DropList* list);
// The full path of item `index`. False with "name too long" when it does not
// fit a PathText.
bool DropListItem(const DropList* list, std::uint32_t index, PathText* path);
bool ClipboardClose();

// A failure the user must see even without a console (a message box on
// Windows, one line on standard error elsewhere).
void ShowFailureMessage(const char* text, const char* caption);
