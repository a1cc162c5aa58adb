// The MP3 export with lyrics: the open audio re-encoded by lame at the
// player's tempo, pitch and volume, with the sentence list in its tag as
// synchronised lyrics whose times follow the new tempo.
//
// The encoder writes into a temporary file beside the target, which replaces
// the target only when the encoding and the tag are complete: a cancelled or
// failed export leaves no partial file, and a file the user chose to
// overwrite stays as it was.
#pragma once

#include <string>
#include <vector>

#include "audio/BassPlayer.h"
#include "audio/ID3Tag.h"
#include "audio/LyricsTagWriter.h"
#include "platform/win32.h"

struct Mp3ExportTexts {
    static constexpr char16_t kNotWritable[] = u"MP3 ファイルを作成できませんでした。フォルダーに書き込めません。\r\n";
    static constexpr char16_t kEncoderFailed[] =
        u"MP3 ファイルを作成できませんでした。ディスクの空き容量を確かめてください。\r\n";
};

struct Mp3ExportRequest {
    std::u16string target;
    std::vector<SyltEntry> sentences;
    int tempo = 100;
    // The tag of the open file, inherited by an export without a tag of its own.
    const ID3Tag* sourceTag = nullptr;
};

// Encodes with the Converting dialog over owner and writes the lyrics tag.
// True when the target holds the finished export. Failures are shown
// (through message, or by the player's own boxes) and leave no file behind.
// Afterwards the player's stream is a decoding stream: the caller reopens.
bool exportMp3(BassPlayer& player, HWND owner, const Mp3ExportRequest& request, const LyricsTagMessage& message);

// The temporary file the encoder writes for a target.
std::u16string encodingPathFor(const std::u16string& target);
