// The floor for copying one large file: copy_file_range in 1 GiB steps into a
// new file, nothing else. Usage: bench_copy_range SOURCE DESTINATION
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE DESTINATION\n", argv[0]);
        return 2;
    }
    const int in = open(argv[1], O_RDONLY);
    const int out = open(argv[2], O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (in < 0 || out < 0) return 1;
    for (;;) {
        const ssize_t copied = copy_file_range(in, nullptr, out, nullptr, 1L << 30, 0);
        if (copied == 0) break;
        if (copied < 0) return 1;
    }
    return close(out) == 0 ? 0 : 1;
}
