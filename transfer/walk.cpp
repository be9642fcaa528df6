#include "transfer/walk.h"

#include <cstdio>
#include <cstring>

#include "console/console.h"
#include "console/glyphs.h"
#include "platform/platform.h"
#include "transfer/paths.h"

namespace {

// The points where the copy walk and the move walk differ.
struct WalkFlavour {
    bool move;
    const char* announcement;  // between the lead glyph and the file's source path
    const char* successLine;
    const char* failureHead;
};

constexpr WalkFlavour kCopyFlavour = {false, " Copying: ", "File copied.\n",
                                      "ERROR: Recursive CopyDirectory failed!"};
constexpr WalkFlavour kMoveFlavour = {true, " Moving: ", "File moved.\n",
                                      "ERROR: Recursive MoveDirectory failed!"};

// One source and one destination buffer serve the whole tree: each level
// appends an entry's name and cuts it off again, so a deep tree costs no more
// than the names on its stack.
struct WalkPaths {
    PathText source;
    std::size_t sourceLength;
    PathText destination;
    std::size_t destinationLength;
};

// Extends both paths by `name`; false, with both unchanged, when either would
// not fit.
bool EnterEntry(WalkPaths* paths, const char* name) {
    const std::size_t sourceLength = paths->sourceLength;
    if (!AppendName(&paths->source, &paths->sourceLength, name)) return false;
    if (!AppendName(&paths->destination, &paths->destinationLength, name)) {
        CutPath(&paths->source, &paths->sourceLength, sourceLength);
        return false;
    }
    return true;
}

void LeaveEntry(WalkPaths* paths, std::size_t sourceLength, std::size_t destinationLength) {
    CutPath(&paths->source, &paths->sourceLength, sourceLength);
    CutPath(&paths->destination, &paths->destinationLength, destinationLength);
}

WalkResult FailLevel(WalkTally* tally) {
    ++tally->failedLevels;
    return 1;
}

void ReportFailedChild(const WalkFlavour& flavour, const WalkPaths& paths, const char* name) {
    PrintColored(flavour.failureHead, COLOR_ERROR);
    std::printf("newDir:    %s%c%s\n", paths.source.text, kPathSeparator, name);
    std::printf("createDir: %s%c%s\n", paths.destination.text, kPathSeparator, name);
}

WalkResult WalkLevel(WalkPaths* paths, const WalkFlavour& flavour, WalkTally* tally);

// A subfolder entry. Its failure is reported here and does not end this level.
void WalkSubfolder(WalkPaths* paths, const WalkFlavour& flavour, WalkTally* tally,
                   const char* name) {
    const std::size_t sourceLength = paths->sourceLength;
    const std::size_t destinationLength = paths->destinationLength;
    if (!EnterEntry(paths, name)) {
        PlatformSetNameTooLong();
        WriteErrorLine();
        ++tally->failedLevels;
        ReportFailedChild(flavour, *paths, name);
        return;
    }
    const WalkResult child = WalkLevel(paths, flavour, tally);
    LeaveEntry(paths, sourceLength, destinationLength);
    if (child != 0) ReportFailedChild(flavour, *paths, name);
}

// A file entry (anything that is not a folder to walk into). False when its
// copy or move failed, which ends this level.
bool TransferEntryFile(WalkPaths* paths, const WalkFlavour& flavour, const char* name) {
    // Announced from folder and name, so that a path too long for its buffer
    // is still shown whole before it is refused.
    std::printf("%s%s%s%c%s\n", kGlyphVertical, flavour.announcement, paths->source.text,
                kPathSeparator, name);
    std::printf("%s To     : %s%c%s\n", kGlyphVertical, paths->destination.text, kPathSeparator,
                name);
    const std::size_t sourceLength = paths->sourceLength;
    const std::size_t destinationLength = paths->destinationLength;
    if (!EnterEntry(paths, name)) {
        PlatformSetNameTooLong();
        WriteErrorLine();
        return false;
    }
    const bool done = flavour.move ? MoveFileTo(paths->source.text, paths->destination.text)
                                   : CopyFileTo(paths->source.text, paths->destination.text,
                                                /*failIfExists=*/false);
    LeaveEntry(paths, sourceLength, destinationLength);
    if (!done) {
        WriteErrorLine();
        return false;
    }
    std::printf("%s", flavour.successLine);
    return true;
}

WalkResult WalkLevel(WalkPaths* paths, const WalkFlavour& flavour, WalkTally* tally) {
    FolderListing listing;
    FolderEntry entry;
    if (!ListingStart(paths->source.text, &listing, &entry)) {
        if (PlatformLastErrorIsNameTooLong()) WriteErrorLine();
        std::printf("ERROR: FindFirstFile returned an invalid file handle!\n");
        return FailLevel(tally);
    }
    if (!MakeFolder(paths->destination.text)) {
        WriteErrorLineDirectoryForm();
        std::printf("     : Couldn't create directory %s!\n", paths->destination.text);
        ListingEnd(&listing);
        return FailLevel(tally);
    }
    std::printf("%s Creating directory %s...\n", kGlyphTopLeft, paths->destination.text);

    // Every listing begins with "." and "..": pass over both.
    ListingNext(&listing, &entry);
    while (ListingNext(&listing, &entry)) {
        if (IsFolderAttribute(entry.attributes)) {
            if (!flavour.move && std::strcmp(entry.name, "..") == 0) {
                std::printf("PANIC! Error: found invalid filename \"..\"!\n");
                ListingEnd(&listing);
                return FailLevel(tally);
            }
            WalkSubfolder(paths, flavour, tally, entry.name);
        } else if (!TransferEntryFile(paths, flavour, entry.name)) {
            ListingEnd(&listing);
            return FailLevel(tally);
        }
    }
    ListingEnd(&listing);
    return 0;
}

WalkResult WalkTree(const char* source, const char* destination, const WalkFlavour& flavour,
                    WalkTally* tally) {
    if (FolderLiesInside(destination, source)) {
        std::printf("ERROR: Destination %s lies inside %s!\n", destination, source);
        return FailLevel(tally);
    }
    WalkPaths paths;
    if (!ConcatenatePath(&paths.source, source, "") ||
        !ConcatenatePath(&paths.destination, destination, "")) {
        PlatformSetNameTooLong();
        WriteErrorLine();
        return FailLevel(tally);
    }
    paths.sourceLength = std::strlen(paths.source.text);
    paths.destinationLength = std::strlen(paths.destination.text);
    return WalkLevel(&paths, flavour, tally);
}

}  // namespace

WalkResult CopyDirectory(const char* source, const char* destination, WalkTally* tally) {
    return WalkTree(source, destination, kCopyFlavour, tally);
}

WalkResult MoveDirectory(const char* source, const char* destination, WalkTally* tally) {
    return WalkTree(source, destination, kMoveFlavour, tally);
}
