// Both readers follow the frames' byte layouts closely, as the players and tag
// editors that wrote them did; where a layout leaves room, the comments say
// which way the bytes are read.
#include "audio/LyricsInfoManager.h"

#include <cstdio>
#include <string>

#include "audio/ID3Tag.h"
#include "audio/LyricsManagerException.h"
#include "platform/win32.h"
#include "text/NarrowText.h"

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;

// ID3 text encodings: 0 narrow, 1 UTF-16 with byte-order mark, 2 UTF-16BE,
// 3 UTF-8 (the last two from version 2.4 tags).
enum class TextEncoding { Narrow, Utf16, Utf16BigEndian, Utf8 };

TextEncoding encodingOf(int byte) {
    switch (byte) {
    case 0: return TextEncoding::Narrow;
    case 2: return TextEncoding::Utf16BigEndian;
    case 3: return TextEncoding::Utf8;
    default: return TextEncoding::Utf16;
    }
}

bool isWide(TextEncoding e) { return e == TextEncoding::Utf16 || e == TextEncoding::Utf16BigEndian; }

std::u16string narrowText(const std::string& bytes, TextEncoding e) {
    std::u16string text = e == TextEncoding::Utf8 ? decodeCodePage(bytes, CP_UTF8) : toWide(bytes);
    std::size_t zero = text.find(u'\0');
    if (zero != std::u16string::npos) text.resize(zero);
    return text;
}

// Closes the file whatever way the reader leaves.
struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

// Reads one 16-bit unit; false at the end of the file.
bool readUnit(std::FILE* file, bool bigEndian, char16_t* unit) {
    unsigned char b[2];
    if (std::fread(b, 1, 2, file) != 2) return false;
    *unit = bigEndian ? static_cast<char16_t>(b[0] << 8 | b[1]) : static_cast<char16_t>(b[0] | b[1] << 8);
    return true;
}

std::uint32_t readBigEndian(std::FILE* file, int count, bool* complete = nullptr) {
    unsigned char b[4] = {};
    std::size_t got = std::fread(b, 1, static_cast<std::size_t>(count), file);
    if (complete) *complete = got == static_cast<std::size_t>(count);
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | b[i];
    return value;
}

bool isLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Fills lyrics with the frame's entries; false when the frame is cut short by
// the end of the file or claims more than it holds (what was read is kept).
bool readSylt(std::FILE* file, const std::u16string& path, LyricsInfoManager& lyrics) {
    ID3Tag tag;
    if (!tag.readTag(file)) throw LyricsManagerException(u"LyricsInfoManager::readSyltTag", __LINE__, path, 2);
    lyrics.times.clear();
    lyrics.texts.clear();
    const bool v22 = tag.version == 2;
    int index = tag.findFrame(v22 ? "SLT" : "SYLT");
    if (index < 0) throw LyricsManagerException(u"LyricsInfoManager::readSyltTag", __LINE__, path, 3);
    const ID3Frame& frame = *tag.frames[static_cast<std::size_t>(index)];

    // Back to the frame's header, so that the file stands at its data.
    std::fseek(file, frame.fileOffset + (v22 ? 6 : 10), SEEK_SET);
    const long frameSize = static_cast<long>(frame.size);
    const long dataStart = std::ftell(file);
    // Every read below stays inside the frame.
    auto consumed = [&] { return std::ftell(file) - dataStart; };

    unsigned char head[6] = {};
    if (frameSize < 6 || std::fread(head, 1, 6, file) != 6) return false;
    const TextEncoding encoding = encodingOf(head[0]);
    // head[1..3] language, head[4] time-stamp format, head[5] content type: every
    // time stamp is taken as milliseconds, whatever the format byte says.

    // The content descriptor is skipped. In UTF-16 its first unit is the
    // byte-order mark that the entries repeat; a mark of FE FF turns the frame
    // big-endian.
    bool bigEndian = encoding == TextEncoding::Utf16BigEndian;
    char16_t marker = 0;
    if (isWide(encoding)) {
        if (consumed() + 2 <= frameSize && readUnit(file, bigEndian, &marker) && marker == 0xFFFE &&
            encoding == TextEncoding::Utf16) {
            bigEndian = true;
            marker = kByteOrderMark;
        }
        char16_t unit = marker;
        while (unit != 0 && consumed() + 2 <= frameSize && readUnit(file, bigEndian, &unit)) {
        }
    } else {
        int c = 1;
        while (c != 0 && consumed() < frameSize && (c = std::fgetc(file)) != EOF) {
        }
    }

    while (!std::feof(file) && consumed() < frameSize) {
        std::u16string text;
        if (isWide(encoding)) {
            char16_t unit;
            while (consumed() + 2 <= frameSize && readUnit(file, bigEndian, &unit)) {
                if (unit == 0) break;
                // Only a byte-order mark is dropped: a descriptor without one
                // must not take a letter out of every entry.
                if (unit == marker && marker == kByteOrderMark) continue;
                text += unit;
            }
        } else {
            std::string bytes;
            int c;
            while (consumed() < frameSize && (c = std::fgetc(file)) != EOF && c != 0) bytes.push_back(static_cast<char>(c));
            text = narrowText(bytes, encoding);
        }
        // A text cut off by the end of the file or of the frame has no time stamp: it is dropped.
        if (std::feof(file) || consumed() + 4 > frameSize) return false;
        bool complete = false;
        std::uint32_t time = readBigEndian(file, 4, &complete);
        if (!complete) return false;
        lyrics.times.push_back(static_cast<std::int32_t>(time));
        lyrics.texts.push_back(std::move(text));
    }
    return !std::feof(file);
}

std::u16string readUlt(std::FILE* file, const std::u16string& path) {
    ID3Tag tag;
    if (!tag.readTag(file)) throw LyricsManagerException(u"LyricsInfoManager::getUltTagText", __LINE__, path, 3);
    const bool v22 = tag.version == 2;
    int index = tag.findFrame(v22 ? "ULT" : "USLT");
    if (index < 0) throw LyricsManagerException(u"LyricsInfoManager::getUltTagText", __LINE__, path, 3);
    const ID3Frame& frame = *tag.frames[static_cast<std::size_t>(index)];

    std::fseek(file, frame.fileOffset + (v22 ? 3 : 4), SEEK_SET);
    const long long frameSize = readBigEndian(file, v22 ? 3 : 4);
    const long long frameEnd = frame.fileOffset + (v22 ? 6 : 10) + frameSize;

    // Version 2.3 and 2.4 frames put their two flag bytes, normally 0, before
    // the encoding byte; version 2.2 frames have none.
    int byte = std::fgetc(file);
    if (byte == 0) byte = std::fgetc(file);
    if (byte == 0) byte = std::fgetc(file);
    TextEncoding encoding = TextEncoding::Narrow;
    if (isLetter(byte))
        std::fseek(file, -1, SEEK_CUR);  // the language code's first letter
    else if (byte != EOF)
        encoding = encodingOf(byte);

    char language[3];
    std::fread(language, 1, 3, file);

    // An empty descriptor, with or without a byte-order mark, is passed over; a
    // descriptor with text is read as part of the lyrics.
    for (int i = 0; i < 4; ++i) {
        int c = std::fgetc(file);
        if (c == EOF) throw LyricsManagerException(u"LyricsInfoManager::getUltTagText", __LINE__, path, 0);
        if (c != 0 && c != 0xFE && c != 0xFF) {
            std::fseek(file, -1, SEEK_CUR);
            break;
        }
    }

    // The text runs to the end of the frame (or to its terminator).
    const long long limit = frameEnd - std::ftell(file);
    std::u16string text;
    if (isWide(encoding)) {
        bool bigEndian = encoding == TextEncoding::Utf16BigEndian;
        char16_t unit;
        for (long long i = 0; i < limit && readUnit(file, bigEndian, &unit); i += 2) {
            // Lyrics whose own mark reads FE FF are big-endian.
            if (text.empty() && unit == 0xFFFE && encoding == TextEncoding::Utf16) {
                bigEndian = true;
                unit = kByteOrderMark;
            }
            text += unit;
            if (unit == 0) break;
        }
    } else {
        std::string bytes;
        int c;
        for (long long i = 0; i < limit && (c = std::fgetc(file)) != EOF; ++i) {
            bytes.push_back(static_cast<char>(c));
            if (c == 0) break;
        }
        text = narrowText(bytes, encoding);
    }
    return text;
}

}  // namespace

bool LyricsInfoManager::readSyltTag(const std::u16string& path) {
    FileCloser closer{_wfopen(path.c_str(), u"rb")};
    try {
        if (!closer.file) throw LyricsManagerException(u"LyricsInfoManager::readSyltTag", __LINE__, path, 1);
        return readSylt(closer.file, path, *this);
    } catch (const LyricsManagerException&) {
        return false;
    }
}

std::u16string LyricsInfoManager::getUltTagText(const std::u16string& path) {
    FileCloser closer{_wfopen(path.c_str(), u"rb")};
    try {
        if (!closer.file) throw LyricsManagerException(u"LyricsInfoManager::getUltTagText", __LINE__, path, 1);
        return readUlt(closer.file, path);
    } catch (const LyricsManagerException&) {
        return u"";
    }
}
