// A stand-in for the command-line tools the downloaders run, so that the
// runner's tests need none of them:
//   args <file> [arguments...]  writes each argument and a zero byte to file
//   stderr <bytes>              writes progress lines of that many bytes in all to stderr
//   stdout <bytes>              the same to stdout
//   sleep <pid file>            starts a grandchild, writes its pid, and both sleep for an hour
//   exit <code>                 ends with that code
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void writeProgress(std::FILE* stream, long total) {
    long written = 0;
    long line = 0;
    while (written < total) {
        std::string text =
            "frame=" + std::to_string(line++) + " size=" + std::to_string(written) + "kB time=00:00:01\r";
        if (written + static_cast<long>(text.size()) > total) text.resize(static_cast<std::size_t>(total - written));
        std::fwrite(text.data(), 1, text.size(), stream);
        written += static_cast<long>(text.size());
    }
    std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string mode = argv[1];
    if (mode == "args" && argc >= 3) {
        std::FILE* out = std::fopen(argv[2], "wb");
        if (!out) return 3;
        for (int i = 3; i < argc; ++i) std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, out);
        std::fclose(out);
        return 0;
    }
    if (mode == "stderr" && argc >= 3) {
        writeProgress(stderr, std::atol(argv[2]));
        return 0;
    }
    if (mode == "stdout" && argc >= 3) {
        writeProgress(stdout, std::atol(argv[2]));
        return 0;
    }
    if (mode == "sleep" && argc >= 3) {
        pid_t child = fork();
        if (child == 0) {
            sleep(3600);
            _exit(0);
        }
        std::FILE* out = std::fopen(argv[2], "w");
        if (out) {
            std::fprintf(out, "%d\n", static_cast<int>(child));
            std::fclose(out);
        }
        sleep(3600);
        return 0;
    }
    if (mode == "exit" && argc >= 3) return std::atoi(argv[2]);
    return 2;
}
