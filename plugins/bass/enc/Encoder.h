// An external encoder fed with a channel's samples: the command line is started
// as a child process, and a WAVE stream (a header of unknown length, then the
// PCM the channel delivers) is written to its standard input. Closing that input
// and waiting for the child lets it finish its file before finish() returns.
// An encoder that broke off (its input closed early, or it exited with a
// failure or by a signal, as lame does on a full disk) makes finish() false.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "audio/BassApi.h"
#include "core/Channel.h"

namespace bass {

// Splits a command line with the Windows quoting rules (quotes group blanks,
// backslashes escape quotes), as the commands handed to encoders are written.
std::vector<std::string> splitCommandLine(const std::string& line);

// The write end of the pipe to the encoder, closed when its owner goes.
class PipeWriter {
public:
    PipeWriter() = default;
    explicit PipeWriter(int fd) : m_fd(fd) {}
    ~PipeWriter() { close(); }
    PipeWriter(const PipeWriter&) = delete;
    PipeWriter& operator=(const PipeWriter&) = delete;
    PipeWriter& operator=(PipeWriter&& other) noexcept;

    bool open() const { return m_fd >= 0; }
    int get() const { return m_fd; }
    void close();

private:
    int m_fd = -1;
};

// The encoder's process: waited for (so that it has finished its file and
// leaves no zombie) when its owner goes.
class ChildProcess {
public:
    ChildProcess() = default;
    explicit ChildProcess(pid_t pid) : m_pid(pid) {}
    ~ChildProcess() { wait(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess& operator=(ChildProcess&& other) noexcept;

    // Waits once; true when the child exited with status 0 (and when there is none).
    bool wait();

private:
    pid_t m_pid = -1;
    bool m_succeeded = true;
};

class Encoder final : public DataTap {
public:
    // Starts the command line; false with BASS_ERROR_FILEOPEN when it cannot be run.
    // Without a BASS_ENCODE_FP_* flag the data keeps the channel's own format:
    // 16-bit, or 32-bit float for a channel made with BASS_SAMPLE_FLOAT.
    bool start(const std::string& commandLine, BASS_DWORD flags, int rate, int channels, bool floatSource);
    ~Encoder() override;

    void onData(const float* frames, std::size_t count, int rate, int channels) override;
    void onChannelFreed() override { finish(); }
    // Ends the input and waits for the child; safe to call more than once.
    // False when the encoder broke off before its input ended.
    bool finish();

    BASS_DWORD flags() const { return m_flags; }
    bool running() const { return m_input.open(); }

private:
    void writeHeader(int rate, int channels);
    void writeAll(const void* data, std::size_t bytes);

    BASS_DWORD m_flags = 0;
    int m_bits = 16;
    bool m_float = false;
    bool m_broken = false;  // a write found the encoder gone
    // Declared so that the input closes before the child is waited for.
    ChildProcess m_child;
    PipeWriter m_input;
    std::vector<unsigned char> m_buffer;
};

}  // namespace bass
