#include "platform/posix/uri_list.h"

#include <cstring>
#include <string_view>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithIgnoringCase(a, b);
}

// The path part of a local file URI, still escaped; false for anything else.
bool LocalPathOf(std::string_view uri, std::string_view hostName, std::string_view* path) {
    if (!StartsWithIgnoringCase(uri, "file:")) return false;
    std::string_view rest = uri.substr(5);
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        if (slash == std::string_view::npos) return false;
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !EqualIgnoringCase(host, "localhost") &&
            (hostName.empty() || !EqualIgnoringCase(host, hostName))) {
            return false;
        }
        rest.remove_prefix(slash);
    }
    if (rest.empty() || rest[0] != '/') return false;
    *path = rest;
    return true;
}

// Decodes percent escapes onto the end of `out`; false for a bad escape or %00.
bool AppendDecoded(std::string_view escaped, std::string* out) {
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '%') {
            out->push_back(escaped[i]);
            continue;
        }
        if (i + 2 >= escaped.size()) return false;
        const int high = HexValue(escaped[i + 1]);
        const int low = HexValue(escaped[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return false;
        out->push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return true;
}

std::string_view TrimLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\0')) line.remove_suffix(1);
    return line;
}

}  // namespace

bool ParseFileUriList(const char* data, std::size_t size, UriListKind kind, const char* hostName,
                      DropList* list) {
    list->paths.clear();
    list->starts.clear();
    const std::string_view text(data, size);
    const std::string_view host(hostName != nullptr ? hostName : "");
    bool markerPending = kind == UriListKind::kCopiedFiles;
    std::size_t lineStart = 0;
    while (lineStart <= text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        const std::string_view line = TrimLineEnd(text.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (markerPending) {  // "copy" or "cut": the switch decides, not the marker
            markerPending = false;
            continue;
        }
        if (line.empty() || line[0] == '#') continue;

        std::string_view escaped;
        const std::size_t start = list->paths.size();
        if (!LocalPathOf(line, host, &escaped) || !AppendDecoded(escaped, &list->paths)) {
            list->paths.clear();
            list->starts.clear();
            return false;
        }
        while (list->paths.size() > start + 1 && list->paths.back() == '/') list->paths.pop_back();
        list->paths.push_back('\0');
        list->starts.push_back(start);
    }
    return true;
}
