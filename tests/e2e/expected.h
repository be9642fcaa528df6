// The texts kelto writes, built the way the tests expect them.
#pragma once

#include <string>

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

inline std::string ErrorLine(const std::string& systemText) {
    return "Error: " + systemText + "\n\n";
}

inline std::string DirectoryErrorLines(const std::string& systemText, const std::string& folder) {
    return "Error: " + systemText + "\n     : Couldn't create directory " + folder + "!\n";
}

inline std::string FailedChild(const std::string& walk, const std::string& source,
                               const std::string& destination) {
    return "ERROR: Recursive " + walk + " failed!newDir:    " + source +
           "\ncreateDir: " + destination + "\n";
}

}  // namespace e2e
