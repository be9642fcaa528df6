// Captures the bytes the code under test writes to standard output.
#pragma once

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <string>

class StdoutCapture {
public:
    StdoutCapture() {
        std::fflush(stdout);
        file_ = std::tmpfile();
        saved_ = dup(fileno(stdout));
        dup2(fileno(file_), fileno(stdout));
#ifdef _WIN32
        // dup2 passes on the file's binary mode; standard output is text.
        _setmode(fileno(stdout), _O_TEXT);
#endif
    }
    ~StdoutCapture() { Finish(); }

    // Restores standard output and returns everything written since.
    std::string Finish() {
        if (file_ == nullptr) return text_;
        std::fflush(stdout);
        dup2(saved_, fileno(stdout));
        close(saved_);
        std::rewind(file_);
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file_)) > 0) text_.append(buffer, got);
        std::fclose(file_);
        file_ = nullptr;
        return text_;
    }

private:
    std::FILE* file_ = nullptr;
    int saved_ = -1;
    std::string text_;
};
