// Writes a sentence list into an MP3 file's ID3v2 tag as synchronised lyrics
// (SYLT, "SLT" in a version 2.2 tag), after the audio was re-encoded at
// another tempo: the time stamps are scaled so that they fall where the
// sentences now sound.
//
// The rewrite goes through a temporary file beside the MP3 that replaces it
// only once everything was written, so a full disk or a killed program never
// leaves a truncated file where the audio was.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/ID3Tag.h"

struct SyltEntry {
    std::u16string text;
    std::uint32_t startMs = 0;
};

// The frame's data: encoding 1 (UTF-16), "eng", milliseconds, lyrics, an empty
// descriptor with its byte-order mark; then each entry's text as UTF-16LE
// after its own byte-order mark, a 0x0000 terminator and its start x 100 /
// tempo (cut to whole ms), big-endian.
std::vector<std::uint8_t> buildSyltData(const std::vector<SyltEntry>& entries, int tempo);

using LyricsTagMessage = std::function<void(const std::u16string&)>;

struct LyricsTagTexts {
    static constexpr char16_t kInUse[] = u"このファイルは使用中です";
    static constexpr char16_t kNoMemoryForAudio[] =
        u"メモリーの確保に失敗しました。MP3 データのサイズが大きすぎるかもしれません。";
    static constexpr char16_t kNoMemoryForLyrics[] =
        u"メモリーの確保に失敗しました。歌詞データサイズが異常かもしれません。";
    // Not one of the inherited messages: those never said that a write failed.
    static constexpr char16_t kWriteFailed[] =
        u"MP3 ファイルを書き込めませんでした。ディスクの空き容量と書き込み権限を確かめてください。\r\n";
};

// Rewrites the MP3 at path with the SYLT data in its tag. The file's own tag
// (lame's, say) is kept and gets the frame; a file without a tag gets a copy
// of sourceTag (the tag of the file it was made from, less its length frame
// TLEN, which described the source's audio) with the frame. Shows
// its failures through message; false when the file was not rewritten (an
// empty file fails without a message).
bool writeLyricsTag(const std::u16string& path, std::vector<std::uint8_t> syltData, const ID3Tag& sourceTag,
                    const LyricsTagMessage& message);
