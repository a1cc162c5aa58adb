// Taking the MP3 audio out of an FLV file, the container the stream recorder
// writes a phrase's voice into.
//
// The file: the signature "FLV" with version 1, a flags byte, the header's
// size (big-endian, 9 for every writer), then tags, each preceded by the size
// of the tag before it. A tag: its type (8 audio), the size of its data (24
// bits), a time stamp, a stream id, the data. The first data byte of an audio
// tag describes the audio; its upper four bits name the codec, 2 (and 14, its
// 8 kHz form) being MP3. The rest of the data is the codec's bytes, for MP3
// whole frames, so the audio tags' data laid end to end is an MP3 file.
//
// Rules for files that break off or lie: a tag whose data would run past the
// end of the file ends the walk (a frame cut in two is no use); a previous-tag
// size with its top bit set, or a data size of 0, ends it too; sizes are never
// trusted beyond the bytes there are. Audio in another codec is left out, so
// the result is always MP3 or nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

enum class FlvAudioResult {
    Extracted,    // MP3 audio was found (and written)
    NotFlv,       // no FLV signature, or a header that cannot be one
    NoMp3Audio,   // a readable FLV without MP3 audio in it
    NotMp3,       // audio tags said MP3 but their first bytes are no MP3 frame
    CannotRead,   // the FLV file could not be opened
    CannotWrite,  // the MP3 file could not be written
};

// The FLV file's size field and the first tag's place: the signature's 4
// bytes, the flags byte and the 4-byte header size.
inline constexpr std::size_t kFlvHeaderSize = 9;

// Walks the FLV file held in data and hands the MP3 bytes of each whole audio
// tag to sink, in file order. Extracted when some were handed over and the
// first of them begins with a valid MP3 frame header (then sink has been
// called at least once); NotMp3 when they do not (sink may have been called).
FlvAudioResult readFlvAudio(const std::uint8_t* data, std::size_t size,
                            const std::function<void(const std::uint8_t*, std::size_t)>& sink);

// Writes the MP3 audio of the FLV file at flvPath to mp3Path. The MP3 file is
// replaced only on success; on every failure no file is left at mp3Path (a
// file that was there before is kept).
FlvAudioResult extractFlvAudio(const std::u16string& flvPath, const std::u16string& mp3Path);
