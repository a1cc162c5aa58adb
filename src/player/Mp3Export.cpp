#include "player/Mp3Export.h"

#include <cstdio>
#include <new>

#include "platform/common/UniqueC.h"
#include "player/ConvertingDialog.h"

std::u16string encodingPathFor(const std::u16string& target) { return target + u".veltrix-encoding"; }

namespace {

// Deletes the encoder's file on every way out but the one that keeps it.
struct EncodingFile {
    std::u16string path;
    ~EncodingFile() { DeleteFileW(path.c_str()); }
};

// Whether a file can be made where the encoder will write; a read-only or
// missing folder is reported before anything is decoded.
bool canCreate(const std::u16string& path) {
    const veltrix::UniqueC<std::FILE, ::fclose> file(_wfopen(path.c_str(), u"wb"));
    return file != nullptr;
}

}  // namespace

bool exportMp3(BassPlayer& player, HWND owner, const Mp3ExportRequest& request, const LyricsTagMessage& message) {
    if (player.refuseOpenFile(request.target)) return false;
    EncodingFile encoded{encodingPathFor(request.target)};
    if (!canCreate(encoded.path)) {
        message(Mp3ExportTexts::kNotWritable + request.target);
        return false;
    }
    std::vector<std::uint8_t> sylt;
    try {
        sylt = buildSyltData(request.sentences, request.tempo);
    } catch (const std::bad_alloc&) {
        message(LyricsTagTexts::kNoMemoryForLyrics);
        return false;
    }
    if (!player.encodeToMp3(encoded.path)) return false;
    ConvertingDialog dialog(player);
    if (!showModal(owner, dialog)) {
        player.stopEncoding();  // harmless when the dialog already stopped it
        return false;
    }
    if (!dialog.encoderFinished()) {
        message(Mp3ExportTexts::kEncoderFailed + request.target);
        return false;
    }
    static const ID3Tag kNoTag;
    if (!writeLyricsTag(encoded.path, std::move(sylt), request.sourceTag ? *request.sourceTag : kNoTag, message))
        return false;
    if (!MoveFileExW(encoded.path.c_str(), request.target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        message(Mp3ExportTexts::kNotWritable + request.target);
        return false;
    }
    return true;
}
