// The texts kelto writes, in their Linux form; ExpectOutput turns them into
// the bytes each target writes.
#pragma once

#include <string>

#include "e2e/harness.h"

namespace e2e {

inline const std::string kPasting = "Pasting...\n";
inline const std::string kCreateGlyph = "\u2554";  // ╔
inline const std::string kFileGlyph = "\u2551";    // ║

inline std::string CopyingReport(const std::string& source, const std::string& destination) {
    return "Copying \t" + source + "\nto \t\t" + destination + "...\n";
}

inline std::string CreatingLine(const std::string& destination) {
    return kCreateGlyph + " Creating directory " + destination + "...\n";
}

inline std::string FileLines(const std::string& verb, const std::string& source,
                             const std::string& destination) {
    return kFileGlyph + " " + verb + ": " + source + "\n" + kFileGlyph + " To     : " +
           destination + "\n";
}

inline std::string Summary(int count) { return std::to_string(count) + " item(s) copied.\n\n"; }

// The error line after a failed copy or move.
inline std::string ErrorLine(const std::string& posixWords) {
    return "Error: " + SystemText(posixWords) + "\n";
}

// The error line after a failed folder creation, and its continuation.
inline std::string DirectoryErrorLines(const std::string& posixWords, const std::string& folder) {
    return "Error: " + SystemText(posixWords) + "     : Couldn't create directory " + folder + "!\n";
}

inline std::string FailedChild(const std::string& walk, const std::string& source,
                               const std::string& destination) {
    return "ERROR: Recursive " + walk + " failed!newDir:    " + source +
           "\ncreateDir: " + destination + "\n";
}

}  // namespace e2e
