// Files and folders on POSIX: listing, folder creation, copy, move.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>  // renameat2
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/dot_entries.h"
#include "platform/platform.h"
#include "platform/posix/last_error.h"

namespace {

// Files up to this size go through one read and one write; larger ones
// through copy_file_range, which lets the kernel copy (or clone) the data.
constexpr off_t kSmallFileLimit = 256 * 1024;
constexpr std::size_t kCopyBufferSize = 1 << 20;
constexpr std::size_t kRangeStep = std::size_t{1} << 30;

alignas(4096) char gCopyBuffer[kCopyBufferSize];

struct ListingState {
    DIR* folder;
    int yielded;  // entries handed out so far
};

std::uint32_t AttributesOf(const struct stat& status) {
    if (S_ISDIR(status.st_mode)) return kAttributeDirectory;
    if (S_ISLNK(status.st_mode)) return kAttributeLink;
    return kAttributeFile;
}

// A link also carries the folder bit when it points to a folder.
std::uint32_t LinkAttributes(int folderFd, const char* path) {
    struct stat target;
    if (fstatat(folderFd, path, &target, 0) == 0 && S_ISDIR(target.st_mode)) {
        return kAttributeLink | kAttributeDirectory;
    }
    return kAttributeLink;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool IsSpecial(const struct stat& status) {
    return !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode) && !S_ISLNK(status.st_mode);
}

// Bounded copy into a buffer; false with "name too long" when it does not fit.
bool CopyText(char* out, std::size_t capacity, const char* text) {
    const std::size_t length = std::strlen(text);
    if (length >= capacity) return Fail(ENAMETOOLONG);
    std::memcpy(out, text, length + 1);
    return true;
}

// The file being filled right now. A signal that ends the program removes it,
// so that an interrupted copy (Ctrl-C, a closed terminal, a closed pipe)
// leaves no partial file behind.
constexpr int kGuardedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};
volatile sig_atomic_t gPartialFileActive = 0;
char gPartialFile[kPathCapacity];

volatile sig_atomic_t gCreatingFile = 0;
volatile sig_atomic_t gDeferredSignal = 0;

void DieOf(int signalNumber) {
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

void RemovePartialFileAndDie(int signalNumber) {
    if (gPartialFileActive != 0) {
        unlink(gPartialFile);
        DieOf(signalNumber);
    } else if (gCreatingFile != 0) {
        gDeferredSignal = signalNumber;  // acted on once the new file is registered
    } else {
        DieOf(signalNumber);
    }
}

// Installed before the first file is created, so that no signal can end the
// program between the file's creation and its registration below.
void GuardPartialFiles() {
    static bool handlersInstalled = false;
    if (handlersInstalled) return;
    handlersInstalled = true;
    for (int signalNumber : kGuardedSignals) {
        struct sigaction current;
        // A signal the caller ignores (nohup) stays ignored.
        if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action = {};
        action.sa_handler = RemovePartialFileAndDie;
        sigemptyset(&action.sa_mask);
        sigaction(signalNumber, &action, nullptr);
    }
}

// Makes a new file with `create` (which returns its descriptor) and registers
// it for removal by a signal until ForgetPartialFile. A signal that comes
// while the file is being made waits until it is registered, so none can leave
// it behind unregistered.
template <typename Create>
int CreateWatched(const char* path, Create create) {
    GuardPartialFiles();
    gCreatingFile = 1;
    const int fd = create();
    const int createError = errno;
    if (fd >= 0) {
        std::memcpy(gPartialFile, path, std::strlen(path) + 1);  // a PathText: it fits
        gPartialFileActive = 1;
    }
    gCreatingFile = 0;
    if (gDeferredSignal != 0) RemovePartialFileAndDie(gDeferredSignal);
    errno = createError;
    return fd;
}

int CreateWatchedFile(const char* path, mode_t mode) {
    return CreateWatched(path, [path, mode] {
        return open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    });
}

// `pathTemplate` ends in "XXXXXX", which becomes a fresh name (mode 0600).
int CreateWatchedTemporary(char* pathTemplate) {
    return CreateWatched(pathTemplate, [pathTemplate] { return mkostemp(pathTemplate, O_CLOEXEC); });
}

mode_t ProcessUmask() {
    static const mode_t mask = [] {
        const mode_t current = umask(0);
        umask(current);
        return current;
    }();
    return mask;
}

void ForgetPartialFile() { gPartialFileActive = 0; }

// A path for a new file beside `destination`: its folder, then ".kelto-XXXXXX".
bool TemporaryPathBeside(const char* destination, PathText* temporary) {
    static const char kTemplate[] = ".kelto-XXXXXX";
    const char* slash = std::strrchr(destination, '/');
    const std::size_t folderLength = slash == nullptr ? 0 : static_cast<std::size_t>(slash - destination) + 1;
    if (folderLength + sizeof kTemplate > sizeof temporary->text) return Fail(ENAMETOOLONG);
    std::memcpy(temporary->text, destination, folderLength);
    std::memcpy(temporary->text + folderLength, kTemplate, sizeof kTemplate);
    return true;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return FailWithErrno();
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Copies until the end of `in`. A small file read whole in one step (as
// large as `sizeAtOpen`) needs no further read to find its end.
bool CopyByReadWrite(int in, int out, off_t sizeAtOpen) {
    for (bool first = true;; first = false) {
        const ssize_t got = read(in, gCopyBuffer, sizeof gCopyBuffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return FailWithErrno();
        }
        if (!WriteAll(out, gCopyBuffer, static_cast<std::size_t>(got))) return false;
        if (first && got == sizeAtOpen && static_cast<std::size_t>(got) < sizeof gCopyBuffer) {
            return true;
        }
    }
}

// Copies every byte from `in` (at its start) to the empty file `out`.
bool CopyBytes(int in, int out, off_t size) {
    if (size < kSmallFileLimit) return CopyByReadWrite(in, out, size);
    for (;;) {
        const ssize_t copied = copy_file_range(in, nullptr, out, nullptr, kRangeStep, 0);
        if (copied == 0) return true;
        if (copied > 0) continue;
        if (errno == EINTR) continue;
        // Where the kernel cannot copy between these files, the plain loop
        // carries on from the offsets both files have reached.
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
            errno == EBADF) {
            return CopyByReadWrite(in, out, -1);
        }
        return FailWithErrno();
    }
}

// Gives the new file (made with `createdMode`) the source's permission bits
// and times. Filesystems that cannot keep them (FAT, some network mounts)
// still get the data.
void KeepModeAndTimes(int out, const struct stat& source, mode_t createdMode) {
    if ((source.st_mode & 0777) != createdMode) (void)fchmod(out, source.st_mode & 0777);
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    (void)futimens(out, times);
}

// Fills the new, empty file `out` from `in`; on success it is complete (and on
// disk when `flush`) and closed. On failure it is closed and the caller
// removes it.
bool FillNewFile(int in, int out, const struct stat& source, mode_t createdMode, bool flush) {
    bool done = CopyBytes(in, out, source.st_size);
    if (done) KeepModeAndTimes(out, source, createdMode);
    if (done && flush && fsync(out) != 0) done = FailWithErrno();
    if (close(out) != 0 && done) done = FailWithErrno();
    return done;
}

// Opens a regular file for reading without following a link and without
// blocking on a FIFO that appeared in its place.
int OpenRegularSource(const char* source, struct stat* status) {
    const int in = open(source, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (in < 0) {
        FailWithErrno();
        return -1;
    }
    if (fstat(in, status) != 0) {
        FailWithErrno();
    } else if (S_ISDIR(status->st_mode)) {
        Fail(EISDIR);
    } else if (!S_ISREG(status->st_mode)) {
        Fail(kErrorSpecialFile);
    } else {
        return in;
    }
    close(in);
    return -1;
}

// The failure for a destination that exists: "same file" when it is the
// source itself (the same name or a hard link), else "exists".
bool FailExisting(const char* destination, const struct stat& source) {
    struct stat existing;
    if (lstat(destination, &existing) == 0 && SameFile(existing, source)) {
        return Fail(kErrorSameFile);
    }
    return Fail(EEXIST);
}

// Checks an existing destination that a copy is about to replace.
bool MayReplace(const char* destination, const struct stat& source) {
    struct stat existing;
    if (lstat(destination, &existing) != 0) return true;  // gone meanwhile: the rename places it
    if (SameFile(existing, source)) return Fail(kErrorSameFile);
    if (S_ISDIR(existing.st_mode)) return Fail(EISDIR);
    return true;
}

bool CopyRegularFile(const char* source, const char* destination, bool failIfExists, bool flush) {
    struct stat status;
    const int in = OpenRegularSource(source, &status);
    if (in < 0) return false;

    const mode_t mode = status.st_mode & 0777;
    const int out = CreateWatchedFile(destination, mode);
    if (out >= 0) {
        const bool done = FillNewFile(in, out, status, mode & ~ProcessUmask(), flush);
        if (!done) unlink(destination);
        ForgetPartialFile();
        close(in);
        return done;
    }
    const int openError = errno;
    const bool mayReplace = openError != EEXIST
                             ? Fail(openError)
                             : (failIfExists ? FailExisting(destination, status)
                                             : MayReplace(destination, status));
    if (!mayReplace) {
        close(in);
        return false;
    }

    // Replace: build the copy beside the destination, then rename it over.
    PathText temporary;
    if (!TemporaryPathBeside(destination, &temporary)) {
        close(in);
        return false;
    }
    const int fresh = CreateWatchedTemporary(temporary.text);
    if (fresh < 0) {
        FailWithErrno();
        close(in);
        return false;
    }
    bool done = FillNewFile(in, fresh, status, 0600, flush);
    close(in);
    if (done && rename(temporary.text, destination) != 0) done = FailWithErrno();
    if (!done) unlink(temporary.text);
    ForgetPartialFile();
    return done;
}

bool ReadLinkTarget(const char* link, PathText* target) {
    const ssize_t length = readlink(link, target->text, sizeof target->text);
    if (length < 0) return FailWithErrno();
    if (static_cast<std::size_t>(length) >= sizeof target->text) return Fail(ENAMETOOLONG);
    target->text[length] = '\0';
    return true;
}

void KeepLinkTimes(const char* link, const struct stat& source) {
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    (void)utimensat(AT_FDCWD, link, times, AT_SYMLINK_NOFOLLOW);
}

bool CopyLink(const char* source, const char* destination, const struct stat& status,
              bool failIfExists) {
    PathText target;
    if (!ReadLinkTarget(source, &target)) return false;
    if (symlink(target.text, destination) == 0) {
        KeepLinkTimes(destination, status);
        return true;
    }
    if (errno != EEXIST) return FailWithErrno();
    if (failIfExists) return FailExisting(destination, status);
    if (!MayReplace(destination, status)) return false;

    PathText temporary;
    if (!TemporaryPathBeside(destination, &temporary)) return false;
    // mkostemp reserves a free name; the link takes its place.
    const int reserved = mkostemp(temporary.text, O_CLOEXEC);
    if (reserved < 0) return FailWithErrno();
    close(reserved);
    unlink(temporary.text);
    if (symlink(target.text, temporary.text) != 0) return FailWithErrno();
    KeepLinkTimes(temporary.text, status);
    if (rename(temporary.text, destination) != 0) {
        FailWithErrno();
        unlink(temporary.text);
        return false;
    }
    return true;
}

// Renames without ever replacing an existing destination.
int RenameNoReplace(const char* source, const char* destination) {
    if (renameat2(AT_FDCWD, source, AT_FDCWD, destination, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // Filesystems without the flag: a hard link fails on an existing name.
    if (link(source, destination) != 0) return -1;
    if (unlink(source) != 0) {
        const int saved = errno;
        unlink(destination);
        errno = saved;
        return -1;
    }
    return 0;
}

// A move to another filesystem: the copy must be whole and on disk before the
// source goes. If the source cannot be removed, the copy is taken back.
bool MoveAcrossFilesystems(const char* source, const char* destination) {
    struct stat status;
    if (lstat(source, &status) != 0) return FailWithErrno();
    if (IsSpecial(status)) return Fail(kErrorSpecialFile);
    if (S_ISDIR(status.st_mode)) return Fail(EISDIR);
    const bool copied = S_ISLNK(status.st_mode)
                            ? CopyLink(source, destination, status, /*failIfExists=*/true)
                            : CopyRegularFile(source, destination, /*failIfExists=*/true,
                                              /*flush=*/true);
    if (!copied) return false;
    if (unlink(source) != 0) {
        FailWithErrno();
        unlink(destination);
        return false;
    }
    return true;
}

}  // namespace

bool ListingStart(const char* folder, FolderListing* listing, FolderEntry* entry) {
    DIR* opened = opendir(folder);
    if (opened == nullptr) return FailWithErrno();
    auto* state = new (std::nothrow) ListingState{opened, 0};
    if (state == nullptr) {
        closedir(opened);
        return Fail(ENOMEM);
    }
    listing->handle = state;
    return ListingNext(listing, entry);
}

bool ListingNext(FolderListing* listing, FolderEntry* entry) {
    auto* state = static_cast<ListingState*>(listing->handle);
    if (NextDotEntry(&state->yielded, entry)) return true;
    for (;;) {
        errno = 0;
        const struct dirent* found = readdir(state->folder);
        if (found == nullptr) {
            if (errno != 0) FailWithErrno();
            return false;
        }
        const char* name = found->d_name;
        if (IsDotEntry(name)) continue;
        if (!CopyText(entry->name, sizeof entry->name, name)) return false;
        const int folderFd = dirfd(state->folder);
        switch (found->d_type) {
            case DT_DIR: entry->attributes = kAttributeDirectory; break;
            case DT_REG: entry->attributes = kAttributeFile; break;
            case DT_LNK: entry->attributes = LinkAttributes(folderFd, name); break;
            case DT_UNKNOWN: {
                struct stat status;
                if (fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
                    entry->attributes = kAttributeFile;  // the copy will say why
                } else if (S_ISLNK(status.st_mode)) {
                    entry->attributes = LinkAttributes(folderFd, name);
                } else {
                    entry->attributes = AttributesOf(status);
                }
                break;
            }
            default: entry->attributes = kAttributeFile; break;
        }
        ++state->yielded;
        return true;
    }
}

void ListingEnd(FolderListing* listing) {
    auto* state = static_cast<ListingState*>(listing->handle);
    if (state == nullptr) return;
    closedir(state->folder);
    delete state;
    listing->handle = nullptr;
}

bool ItemAttributes(const char* path, std::uint32_t* attributes) {
    struct stat status;
    if (lstat(path, &status) != 0) return FailWithErrno();
    *attributes = S_ISLNK(status.st_mode) ? LinkAttributes(AT_FDCWD, path) : AttributesOf(status);
    return true;
}

bool MakeFolder(const char* path) {
    if (mkdir(path, 0777) != 0) return FailWithErrno();
    return true;
}

bool CopyFileTo(const char* source, const char* destination, bool failIfExists) {
    struct stat status;
    if (lstat(source, &status) != 0) return FailWithErrno();
    if (S_ISLNK(status.st_mode)) return CopyLink(source, destination, status, failIfExists);
    if (S_ISDIR(status.st_mode)) return Fail(EISDIR);
    if (IsSpecial(status)) return Fail(kErrorSpecialFile);
    return CopyRegularFile(source, destination, failIfExists, /*flush=*/false);
}

bool MoveFileTo(const char* source, const char* destination) {
    if (RenameNoReplace(source, destination) == 0) return true;
    if (errno == EEXIST) {
        struct stat status;
        if (lstat(source, &status) != 0) return Fail(EEXIST);
        return FailExisting(destination, status);
    }
    if (errno != EXDEV) return FailWithErrno();
    return MoveAcrossFilesystems(source, destination);
}

bool FolderLiesInside(const char* destination, const char* source) {
    struct stat sourceStatus;
    if (stat(source, &sourceStatus) != 0) return false;

    // The destination's real parent folder, then its name.
    PathText parent;
    const char* slash = std::strrchr(destination, '/');
    const char* name = slash == nullptr ? destination : slash + 1;
    if (slash == nullptr) {
        std::strcpy(parent.text, ".");
    } else if (slash == destination) {
        std::strcpy(parent.text, "/");
    } else {
        const std::size_t length = static_cast<std::size_t>(slash - destination);
        std::memcpy(parent.text, destination, length);
        parent.text[length] = '\0';
    }
    PathText path;
    if (realpath(parent.text, path.text) == nullptr) return false;
    std::size_t length = std::strlen(path.text);
    const std::size_t nameLength = std::strlen(name);
    if (length + 1 + nameLength < sizeof path.text) {
        if (length > 1) path.text[length++] = '/';
        std::memcpy(path.text + length, name, nameLength + 1);
    }

    // The destination is inside when it or any folder above it is the source.
    for (;;) {
        struct stat status;
        if (stat(path.text, &status) == 0 && SameFile(status, sourceStatus)) return true;
        char* last = std::strrchr(path.text, '/');
        if (last == nullptr || (last == path.text && path.text[1] == '\0')) return false;
        if (last == path.text) {
            path.text[1] = '\0';
        } else {
            *last = '\0';
        }
    }
}

bool CurrentFolder(char* buffer, std::size_t capacity) {
    return getcwd(buffer, capacity) != nullptr;
}
