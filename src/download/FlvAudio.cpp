#include "download/FlvAudio.h"

#include "audio/Mp3Frame.h"
#include "text/MappedFile.h"
#include "text/ReplacingFile.h"

namespace {

constexpr std::uint8_t kAudioTag = 8;
constexpr std::size_t kTagHeaderSize = 11;
constexpr std::size_t kPreviousSizeBytes = 4;
constexpr int kMp3Codec = 2;
constexpr int kMp3Codec8k = 14;

std::uint32_t bigEndian(const std::uint8_t* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | p[i];
    return value;
}

// Whether the bytes begin with an MPEG audio frame header the frame parser
// accepts (the sync bits first, which the parser itself does not examine).
bool beginsWithMp3Frame(const std::uint8_t* p, std::size_t size) {
    if (size < 4 || p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    try {
        MP3::Frame frame;
        return frame.init(p) > 0;
    } catch (const MP3::FrameException&) {
        return false;
    }
}

}  // namespace

FlvAudioResult readFlvAudio(const std::uint8_t* data, std::size_t size,
                            const std::function<void(const std::uint8_t*, std::size_t)>& sink) {
    if (size < kFlvHeaderSize || bigEndian(data, 4) != 0x464C5601) return FlvAudioResult::NotFlv;
    const std::size_t headerSize = bigEndian(data + 5, 4);
    if (headerSize < kFlvHeaderSize || headerSize > size) return FlvAudioResult::NotFlv;

    std::size_t at = headerSize;
    bool found = false;
    bool firstIsMp3 = false;
    for (;;) {
        // The size of the tag before: a value with its top bit set ends the
        // file as a negative one always did.
        if (size - at < kPreviousSizeBytes || (bigEndian(data + at, 4) & 0x80000000u)) break;
        at += kPreviousSizeBytes;
        if (size - at < kTagHeaderSize) break;
        const std::uint8_t type = data[at];
        const std::size_t dataSize = bigEndian(data + at + 1, 3);
        if (dataSize == 0) break;
        at += kTagHeaderSize;
        if (dataSize > size - at) break;  // cut off, or lying about its size
        const std::uint8_t* tag = data + at;
        at += dataSize;
        if (type != kAudioTag) continue;
        const int codec = tag[0] >> 4;
        if (codec != kMp3Codec && codec != kMp3Codec8k) continue;
        const std::uint8_t* audio = tag + 1;
        const std::size_t audioSize = dataSize - 1;
        if (audioSize == 0) continue;
        if (!found) {
            found = true;
            firstIsMp3 = beginsWithMp3Frame(audio, audioSize);
            if (!firstIsMp3) break;
        }
        sink(audio, audioSize);
    }
    if (!found) return FlvAudioResult::NoMp3Audio;
    return firstIsMp3 ? FlvAudioResult::Extracted : FlvAudioResult::NotMp3;
}

FlvAudioResult extractFlvAudio(const std::u16string& flvPath, const std::u16string& mp3Path) {
    const MappedFile flv(flvPath);
    if (!flv.opened()) return FlvAudioResult::CannotRead;
    ReplacingFile mp3(mp3Path);
    if (!mp3.file()) return FlvAudioResult::CannotWrite;
    bool written = true;
    const FlvAudioResult result = readFlvAudio(flv.data(), flv.size(), [&](const std::uint8_t* p, std::size_t n) {
        written = written && std::fwrite(p, 1, n, mp3.file()) == n;
    });
    if (result != FlvAudioResult::Extracted) return result;
    // Without commit the temporary file goes with the object.
    return written && mp3.commit() ? FlvAudioResult::Extracted : FlvAudioResult::CannotWrite;
}
