#include "transfer/run.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "console/console.h"
#include "platform/platform.h"
#include "transfer/paths.h"
#include "transfer/walk.h"

namespace {

constexpr const char* kVersion = "0.91";

constexpr const char* kHelpLines[] = {
    "Usage:",
    "kelto [switch]",
    " ",
    "Default: Copies file(s) copied to clipboard to the current",
    "working directory.",
    " ",
    "Switches:",
    " ",
    "-o     Overwrite existing file",
    "-m     Move",
    "-v     Version",
    "-h     Help",
};

void WriteVersionBanner() {
    std::printf("Kelto.exe | version %s\n", kVersion);
    std::printf("Written by the kelto developers, 2026.\n");
    std::printf("Home: the kelto project repository, README.md\n");
    std::printf("\n");
}

void WriteHelpPanel() {
    DrawBoxTop(COLOR_PANEL);
    for (const char* line : kHelpLines) DrawBoxLine(line, COLOR_PANEL);
    DrawBoxBottom(COLOR_PANEL);
}

bool IsDirectory(const char* path) {
    std::uint32_t attributes = 0;
    if (!ItemAttributes(path, &attributes)) {
        std::printf("Error!\n");
        return false;
    }
    return IsFolderAttribute(attributes);
}

// Copies or moves one plain file item. False when it failed (already reported).
bool TransferFileItem(const char* source, const char* destination, TransferMode mode) {
    if (mode.move) {
        if (!MoveFileTo(source, destination)) {
            WriteErrorLine();
            return false;
        }
        std::printf("File moved.\n");
        return true;
    }
    if (!CopyFileTo(source, destination, /*failIfExists=*/!mode.overwrite)) {
        WriteErrorLine();
        return false;
    }
    std::printf("File copied.\n");
    return true;
}

}  // namespace

int TransferRun(TransferMode mode) {
    PrintColored("Pasting...", COLOR_HEADER);
    std::printf("\n");

    PathText currentFolder;
    PathText prefix;
    if (!CurrentFolder(currentFolder.text, sizeof currentFolder.text)) {
        std::perror("_getcwd error");
        return 1;
    }
    const char separator[2] = {kPathSeparator, '\0'};
    if (!ConcatenatePath(&prefix, currentFolder.text, separator)) {
        errno = ENAMETOOLONG;
        std::perror("_getcwd error");
        return 1;
    }

    if (!ClipboardOpen()) std::printf("ERROR: Cannot open clipboard.\n");
    if (!ClipboardHasFileList()) {
        std::printf("FAILURE: Invalid clipboard format.\n");
        return 1;
    }
    const DropList* list = ClipboardFileList();
    if (list == nullptr) {
        ShowFailureMessage("Call to GetClipboardData failed - Wrong data type on clipboard.",
                           "Failure");
        return 1;
    }

    WalkTally tally = {0};
    const std::uint32_t count = DropListCount(list);
    for (std::uint32_t index = 0; index < count; ++index) {
        PathText droppedPath;
        if (!DropListItem(list, index, &droppedPath)) {
            WriteErrorLine();
            return 1;
        }
        PathText sourcePath;
        std::memcpy(sourcePath.text, droppedPath.text, std::strlen(droppedPath.text) + 1);

        PathText title;
        title.text[0] = '\0';
        if (!TakeTitle(droppedPath.text, &title)) {
            std::printf("Error: GetFileTitle(%s, %s, %d)\n", droppedPath.text, title.text,
                        static_cast<int>(kPathCapacity));
            return 1;
        }

        // Reported from prefix and title, so that a destination too long for
        // its buffer is still shown whole before it is refused.
        std::printf("Copying \t%s\nto \t\t%s%s...\n", sourcePath.text, prefix.text, title.text);
        PathText destinationPath;
        if (!ConcatenatePath(&destinationPath, prefix.text, title.text)) {
            PlatformSetNameTooLong();
            WriteErrorLine();
            return 1;
        }

        if (IsDirectory(sourcePath.text)) {
            if (mode.move) {
                MoveDirectory(sourcePath.text, destinationPath.text, &tally);
            } else {
                CopyDirectory(sourcePath.text, destinationPath.text, &tally);
            }
            continue;
        }
        if (!TransferFileItem(sourcePath.text, destinationPath.text, mode)) return 1;
    }

    if (!ClipboardClose()) std::printf("ERROR: Cannot close clipboard\n");

    char summary[64];
    std::snprintf(summary, sizeof summary, "%d item(s) copied.", static_cast<int>(count));
    std::printf("%s\n", summary);
    std::printf("\n");
    return tally.failedLevels == 0 ? 0 : 1;
}

int KeltoMain(int argc, char** argv) {
    if (argc > 2) {
        std::printf("Usage: kelto -h for help\n");
        return 0;
    }
    TransferMode mode = {false, false};
    if (argc == 2) {
        const char* argument = argv[1];
        if (std::strcmp(argument, "-v") == 0) {
            WriteVersionBanner();
            return 0;
        }
        if (std::strcmp(argument, "-h") == 0) {
            WriteHelpPanel();
            return 0;
        }
        if (std::strcmp(argument, "-m") == 0) mode.move = true;
        if (std::strcmp(argument, "-o") == 0) mode.overwrite = true;
    }
    return TransferRun(mode);
}
