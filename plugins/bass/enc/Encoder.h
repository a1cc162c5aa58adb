// An external encoder fed with a channel's samples: the command line is started
// as a child process, and a WAVE stream (a header of unknown length, then the
// PCM the channel delivers) is written to its standard input. Closing that input
// and waiting for the child lets it finish its file before finish() returns.
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
    void finish();

    BASS_DWORD flags() const { return m_flags; }
    bool running() const { return m_input >= 0; }

private:
    void writeHeader(int rate, int channels);
    void writeAll(const void* data, std::size_t bytes);

    BASS_DWORD m_flags = 0;
    int m_bits = 16;
    bool m_float = false;
    int m_input = -1;
    pid_t m_child = -1;
    std::vector<unsigned char> m_buffer;
};

}  // namespace bass
