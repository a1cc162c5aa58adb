#include "audio/LyricsTagWriter.h"

#include <algorithm>
#include <new>

#include "platform/common/UniqueC.h"
#include "platform/win32.h"
#include "text/ReplacingFile.h"

namespace {

void putBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Where the audio starts behind a tag read from the file's start.
std::size_t audioOffset(const ID3Tag& tag) {
    std::size_t offset = static_cast<std::size_t>(tag.size) + 10;
    // A version 2.4 footer repeats the header after the padding.
    if ((tag.version & 0xFF) == 4 && (tag.flags & 0x10)) offset += 10;
    return offset;
}

}  // namespace

std::vector<std::uint8_t> buildSyltData(const std::vector<SyltEntry>& entries, int tempo) {
    // The tempo field never gives less than 50; a zero must not divide.
    const double scale = 100.0 / (tempo > 0 ? tempo : 100);
    std::size_t total = 10;
    for (const SyltEntry& entry : entries) total += 2 * entry.text.size() + 8;
    std::vector<std::uint8_t> data;
    data.reserve(total);
    data.insert(data.end(), {0x01, 'e', 'n', 'g', 0x02, 0x01, 0xFF, 0xFE, 0x00, 0x00});
    for (const SyltEntry& entry : entries) {
        // Every UTF-16 string of the frame opens with its byte-order mark;
        // readers that keep to the tag format reject the whole frame when an
        // entry lacks one. Ours skips marks equal to the descriptor's.
        data.insert(data.end(), {0xFF, 0xFE});
        for (char16_t unit : entry.text) {
            data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            data.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        data.insert(data.end(), {0x00, 0x00});
        putBigEndian32(data, static_cast<std::uint32_t>(static_cast<double>(entry.startMs) * scale));
    }
    return data;
}

bool writeLyricsTag(const std::u16string& path, std::vector<std::uint8_t> syltData, const ID3Tag& sourceTag,
                    const LyricsTagMessage& message) {
    std::vector<std::uint8_t> bytes;
    ID3Tag tag;
    bool hasTag = false;
    {
        const veltrix::UniqueC<std::FILE, ::fclose> in(_wfopen(path.c_str(), u"rb"));
        if (!in) {
            message(LyricsTagTexts::kInUse);
            return false;
        }
        if (std::fseek(in.get(), 0, SEEK_END) != 0) return false;
        const long size = std::ftell(in.get());
        if (size <= 0) return false;
        try {
            bytes.resize(static_cast<std::size_t>(size));
        } catch (const std::bad_alloc&) {
            message(LyricsTagTexts::kNoMemoryForAudio);
            return false;
        }
        std::rewind(in.get());
        if (std::fread(bytes.data(), 1, bytes.size(), in.get()) != bytes.size()) {
            message(LyricsTagTexts::kInUse);
            return false;
        }
        std::rewind(in.get());
        hasTag = tag.readTag(in.get());
    }
    std::size_t audioStart = 0;
    if (hasTag) {
        audioStart = std::min(audioOffset(tag), bytes.size());
    } else {
        tag = sourceTag;
        // The source's length is not this file's: at another tempo it is
        // plainly wrong, and players that trust it show the wrong duration.
        tag.removeFrame((tag.version & 0xFF) == 2 ? "TLE" : "TLEN");
    }
    // The lyrics frame replaces one of its kind or goes first.
    tag.setFrame((tag.version & 0xFF) == 2 ? "SLT" : "SYLT", std::move(syltData));

    ReplacingFile out(path);
    bool written = out.file() && tag.writeTag(out.file());
    written = written && std::fwrite(bytes.data() + audioStart, 1, bytes.size() - audioStart, out.file()) ==
                             bytes.size() - audioStart;
    if (!(written && out.commit())) {
        message(LyricsTagTexts::kWriteFailed + path);
        return false;
    }
    return true;
}
