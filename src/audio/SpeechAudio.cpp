#include "audio/SpeechAudio.h"

#include <vector>

#include "audio/BassLibrary.h"
#include "audio/SpeechResampler.h"

namespace {

// A decoding stream of the audio modules, freed with them.
class StreamOwner {
public:
    StreamOwner(const BassFunctions& f, HSTREAM handle) : f_(f), handle_(handle) {}
    ~StreamOwner() {
        if (handle_ && f_.StreamFree) f_.StreamFree(handle_);
    }
    StreamOwner(const StreamOwner&) = delete;
    StreamOwner& operator=(const StreamOwner&) = delete;
    HSTREAM get() const { return handle_; }

private:
    const BassFunctions& f_;
    HSTREAM handle_;
};

}  // namespace

SpeechReadResult readSpeechAudio(BassLibrary& library, const std::u16string& path, const SpeechBlockSink& sink,
                                 std::u16string& error) {
    const BassFunctions& f = library.functions();
    if (!f.StreamCreateFile || !f.ChannelGetData || !f.ChannelGetAttribute || !f.Mixer_StreamCreate ||
        !f.Mixer_StreamAddChannel || !f.StreamFree) {
        error = u"The audio modules needed to read the audio are missing.";
        return SpeechReadResult::Failed;
    }
    const StreamOwner source(
        f, f.StreamCreateFile(0, path.c_str(), 0, 0, BASS_UNICODE | BASS_STREAM_DECODE | BASS_SAMPLE_FLOAT));
    float rate = 0;
    if (!source.get() || !f.ChannelGetAttribute(source.get(), BASS_ATTRIB_FREQ, &rate) || rate < 1000) {
        error = u"The audio file could not be read.";
        return SpeechReadResult::Failed;
    }
    // The mixer folds stereo into one channel at the file's own rate; it ends
    // when the file does. Freed before the source it reads (declared after it).
    const StreamOwner mixer(f, f.Mixer_StreamCreate(static_cast<BASS_DWORD>(rate), 1,
                                                    BASS_STREAM_DECODE | BASS_SAMPLE_FLOAT | BASS_MIXER_END));
    if (!mixer.get() || !f.Mixer_StreamAddChannel(mixer.get(), source.get(), 0)) {
        error = u"The audio file could not be read.";
        return SpeechReadResult::Failed;
    }
    SpeechResampler resampler(static_cast<int>(rate));
    std::vector<float> input(static_cast<std::size_t>(rate) / 2);
    std::vector<std::int16_t> output;
    for (;;) {
        const BASS_DWORD got = f.ChannelGetData(
            mixer.get(), input.data(), static_cast<BASS_DWORD>(input.size() * sizeof(float)) | BASS_DATA_FLOAT);
        if (got == static_cast<BASS_DWORD>(-1) || got == 0) break;
        output.clear();
        resampler.push(std::span<const float>(input.data(), got / sizeof(float)), output);
        if (!output.empty() && !sink(output)) return SpeechReadResult::Stopped;
    }
    output.clear();
    resampler.finish(output);
    if (!output.empty() && !sink(output)) return SpeechReadResult::Stopped;
    return SpeechReadResult::Finished;
}
