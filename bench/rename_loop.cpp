// The floor for a move within one filesystem: recreate the folders of a tree
// and rename each file into them, depth first, as a move walk does, printing
// nothing. Usage: bench_rename_loop SOURCE DESTINATION
#include <dirent.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

namespace {

bool MoveTree(const std::string& source, const std::string& destination) {
    if (mkdir(destination.c_str(), 0777) != 0) return false;
    DIR* folder = opendir(source.c_str());
    if (folder == nullptr) return false;
    bool ok = true;
    while (const dirent* entry = readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        const std::string from = source + "/" + entry->d_name;
        const std::string to = destination + "/" + entry->d_name;
        if (entry->d_type == DT_DIR) {
            ok = MoveTree(from, to) && ok;
        } else if (rename(from.c_str(), to.c_str()) != 0) {
            ok = false;
        }
    }
    closedir(folder);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE DESTINATION\n", argv[0]);
        return 2;
    }
    return MoveTree(argv[1], argv[2]) ? 0 : 1;
}
