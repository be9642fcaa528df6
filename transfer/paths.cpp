#include "transfer/paths.h"

#include <cstring>

namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

}  // namespace

bool ConcatenatePath(PathText* out, const char* first, const char* second) {
    const std::size_t firstLength = std::strlen(first);
    const std::size_t secondLength = std::strlen(second);
    if (firstLength + secondLength >= kPathCapacity) {
        out->text[0] = '\0';
        return false;
    }
    std::memmove(out->text, first, firstLength);
    std::memcpy(out->text + firstLength, second, secondLength + 1);
    return true;
}

bool AppendName(PathText* path, std::size_t* length, const char* name) {
    const std::size_t nameLength = std::strlen(name);
    if (*length + 1 + nameLength >= kPathCapacity) return false;
    path->text[*length] = kPathSeparator;
    std::memcpy(path->text + *length + 1, name, nameLength + 1);
    *length += 1 + nameLength;
    return true;
}

void CutPath(PathText* path, std::size_t* length, std::size_t newLength) {
    path->text[newLength] = '\0';
    *length = newLength;
}

bool TakeTitle(const char* droppedPath, PathText* title) {
    const char* name = droppedPath;
    for (const char* c = droppedPath; *c != '\0'; ++c) {
        if (IsSeparator(*c)) name = c + 1;
    }
    const std::size_t nameLength = std::strlen(name);
    if (nameLength == 0 || nameLength >= kPathCapacity) return false;
    std::memcpy(title->text, name, nameLength + 1);
    return true;
}
