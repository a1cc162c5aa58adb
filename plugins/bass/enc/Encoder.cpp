#include "enc/Encoder.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

extern char** environ;

namespace bass {

namespace {

constexpr int kPipeBytes = 1 << 20;

// posix_spawn's file actions, destroyed with their owner.
struct SpawnActions {
    SpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t actions;
};

}  // namespace

PipeWriter& PipeWriter::operator=(PipeWriter&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

void PipeWriter::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        wait();
        m_pid = other.m_pid;
        m_succeeded = other.m_succeeded;
        other.m_pid = -1;
    }
    return *this;
}

bool ChildProcess::wait() {
    if (m_pid <= 0) return m_succeeded;
    int status = 0;
    pid_t waited;
    while ((waited = ::waitpid(m_pid, &status, 0)) < 0 && errno == EINTR) {}
    m_succeeded = waited == m_pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    m_pid = -1;
    return m_succeeded;
}

std::vector<std::string> splitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    std::size_t i = 0;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (i < line.size()) {
        while (i < line.size() && blank(line[i])) ++i;
        if (i >= line.size()) break;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || !blank(line[i]))) {
            if (line[i] == '\\') {
                std::size_t slashes = 0;
                while (i < line.size() && line[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < line.size() && line[i] == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(slashes, '\\');
                }
            } else if (line[i] == '"') {
                quoted = !quoted;
                ++i;
            } else {
                arg += line[i++];
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

bool Encoder::start(const std::string& commandLine, BASS_DWORD flags, int rate, int channels, bool floatSource) {
    m_flags = flags;
    switch (flags & 0xE) {
        case BASS_ENCODE_FP_8BIT:
            m_bits = 8;
            break;
        case BASS_ENCODE_FP_24BIT:
            m_bits = 24;
            break;
        case BASS_ENCODE_FP_32BIT:
            m_bits = 32;
            break;
        case BASS_ENCODE_FP_16BIT:
            m_bits = 16;
            break;
        default:
            m_float = floatSource;
            m_bits = floatSource ? 32 : 16;
            break;
    }
    std::vector<std::string> args = splitCommandLine(commandLine);
    if (args.empty()) return false;
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    PipeWriter readEnd(pipeEnds[0]);  // the child's copy is all it needs
    PipeWriter writeEnd(pipeEnds[1]);
    // Seconds of sound in the pipe rather than a fraction of one, so the
    // encoder keeps working while the feeding thread waits for its next turn
    // (the export feeds from a 10 ms window timer). Best effort: the system
    // may cap the size.
    ::fcntl(pipeEnds[1], F_SETPIPE_SZ, kPipeBytes);
    SpawnActions actions;
    posix_spawn_file_actions_adddup2(&actions.actions, pipeEnds[0], STDIN_FILENO);
    pid_t child = -1;
    if (::posix_spawnp(&child, argv[0], &actions.actions, nullptr, argv.data(), environ) != 0) return false;
    m_child = ChildProcess(child);
    m_input = std::move(writeEnd);
    if (!(flags & BASS_ENCODE_NOHEAD)) writeHeader(rate, channels);
    return true;
}

Encoder::~Encoder() = default;

void Encoder::writeHeader(int rate, int channels) {
    // The length is not known while the channel decodes; the sizes say "up to
    // the end of the stream", which readers of piped WAVE data accept.
    const std::uint32_t unknown = 0xFFFFFFFF;
    const std::uint16_t format = m_float ? 3 : 1;
    const std::uint16_t blockAlign = static_cast<std::uint16_t>(channels * m_bits / 8);
    const std::uint32_t byteRate = static_cast<std::uint32_t>(rate) * blockAlign;
    unsigned char header[44];
    auto put32 = [&header](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    auto put16 = [&header](int at, std::uint16_t v) {
        header[at] = static_cast<unsigned char>(v);
        header[at + 1] = static_cast<unsigned char>(v >> 8);
    };
    std::memcpy(header, "RIFF", 4);
    put32(4, unknown);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, format);
    put16(22, static_cast<std::uint16_t>(channels));
    put32(24, static_cast<std::uint32_t>(rate));
    put32(28, byteRate);
    put16(32, blockAlign);
    put16(34, static_cast<std::uint16_t>(m_bits));
    std::memcpy(header + 36, "data", 4);
    put32(40, unknown);
    writeAll(header, sizeof header);
}

void Encoder::onData(const float* frames, std::size_t count, int rate, int channels) {
    if (!m_input.open()) return;
    const std::size_t samples = count * static_cast<std::size_t>(channels);
    const std::size_t width = static_cast<std::size_t>(m_bits / 8);
    m_buffer.resize(samples * width);
    unsigned char* out = m_buffer.data();
    for (std::size_t i = 0; i < samples; ++i) {
        const double v = std::clamp(static_cast<double>(frames[i]), -1.0, 1.0);
        switch (m_bits) {
            case 8:
                *out++ = static_cast<unsigned char>(std::lround(v * 127.0) + 128);
                break;
            case 24: {
                const long s = std::lround(v * 8388607.0);
                for (int b = 0; b < 3; ++b) *out++ = static_cast<unsigned char>(s >> (8 * b));
                break;
            }
            case 32: {
                if (m_float) {
                    const float f = static_cast<float>(v);
                    std::uint32_t bits;
                    std::memcpy(&bits, &f, sizeof bits);
                    for (int b = 0; b < 4; ++b) *out++ = static_cast<unsigned char>(bits >> (8 * b));
                    break;
                }
                const long long s = std::llround(v * 2147483647.0);
                for (int b = 0; b < 4; ++b) *out++ = static_cast<unsigned char>(s >> (8 * b));
                break;
            }
            default: {
                const long s = std::lround(v * 32767.0);
                *out++ = static_cast<unsigned char>(s);
                *out++ = static_cast<unsigned char>(s >> 8);
                break;
            }
        }
    }
    writeAll(m_buffer.data(), m_buffer.size());
}

void Encoder::writeAll(const void* data, std::size_t bytes) {
    // An encoder that quit must not take the program with it: SIGPIPE is held
    // back on this thread while writing, and a broken pipe just ends the input.
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    const auto* p = static_cast<const unsigned char*>(data);
    while (bytes > 0 && m_input.open()) {
        ssize_t n = ::write(m_input.get(), p, bytes);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (errno == EPIPE) {
                timespec zero{};
                sigtimedwait(&pipeSignal, nullptr, &zero);
            }
            m_input.close();
            m_broken = true;
            break;
        }
        p += n;
        bytes -= static_cast<std::size_t>(n);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

bool Encoder::finish() {
    m_input.close();
    const bool exited = m_child.wait();
    return exited && !m_broken;
}

}  // namespace bass
