// Both readers follow the frames' byte layouts closely, as the players and tag
// editors that wrote them did; where a layout leaves room, the comments say
// which way the bytes are read. They read a frame's fields from its content
// (ID3Frame::content): unsynchronisation undone, and never past the frame.
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
        case 0:
            return TextEncoding::Narrow;
        case 2:
            return TextEncoding::Utf16BigEndian;
        case 3:
            return TextEncoding::Utf8;
        default:
            return TextEncoding::Utf16;
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

// The frame's fields as bytes, read from the front: reads past the end fail
// and consume nothing.
class FieldReader {
public:
    explicit FieldReader(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    std::size_t left() const { return m_bytes.size() - m_at; }
    bool atEnd() const { return left() == 0; }
    int peek() const { return atEnd() ? -1 : m_bytes[m_at]; }
    int byte() { return atEnd() ? -1 : m_bytes[m_at++]; }
    void back() {
        if (m_at > 0) --m_at;
    }
    bool unit(bool bigEndian, char16_t* unit) {
        if (left() < 2) return false;
        const std::uint8_t a = m_bytes[m_at], b = m_bytes[m_at + 1];
        m_at += 2;
        *unit = bigEndian ? static_cast<char16_t>(a << 8 | b) : static_cast<char16_t>(a | b << 8);
        return true;
    }
    bool bigEndian32(std::uint32_t* value) {
        if (left() < 4) return false;
        *value = 0;
        for (int i = 0; i < 4; ++i) *value = *value << 8 | m_bytes[m_at++];
        return true;
    }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_at = 0;
};

bool isLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The lyrics frame's fields, or throws code 3 when the tag has no such frame.
std::vector<std::uint8_t> lyricsFrame(const ID3Tag& tag, const char* v22Name, const char* name,
                                      const char16_t* function, const std::u16string& path) {
    const int index = tag.findFrame(tag.version == 2 ? v22Name : name);
    if (index < 0) throw LyricsManagerException(function, __LINE__, path, 3);
    return tag.frames[static_cast<std::size_t>(index)]->content(tag.version, tag.flags);
}

// Fills lyrics with the frame's entries. An entry cut short (by the end of the
// frame or of the file) ends the list; the entries before it are kept.
void readSylt(std::FILE* file, const std::u16string& path, LyricsInfoManager& lyrics) {
    ID3Tag tag;
    if (!tag.readTag(file)) throw LyricsManagerException(u"LyricsInfoManager::readSyltTag", __LINE__, path, 2);
    lyrics.times.clear();
    lyrics.texts.clear();
    FieldReader frame(lyricsFrame(tag, "SLT", "SYLT", u"LyricsInfoManager::readSyltTag", path));

    // Encoding, 3 bytes of language, time-stamp format and content type: every
    // time stamp is taken as milliseconds, whatever the format byte says.
    if (frame.left() < 6) return;
    const TextEncoding encoding = encodingOf(frame.byte());
    for (int i = 0; i < 5; ++i) frame.byte();

    // The content descriptor is skipped. In UTF-16 its first unit is the
    // byte-order mark that the entries repeat; a mark of FE FF turns the frame
    // big-endian.
    bool bigEndian = encoding == TextEncoding::Utf16BigEndian;
    char16_t marker = 0;
    if (isWide(encoding)) {
        if (frame.unit(bigEndian, &marker) && marker == 0xFFFE && encoding == TextEncoding::Utf16) {
            bigEndian = true;
            marker = kByteOrderMark;
        }
        char16_t unit = marker;
        while (unit != 0 && frame.unit(bigEndian, &unit)) {}
    } else {
        int c = 1;
        while (c > 0) c = frame.byte();
    }

    while (!frame.atEnd()) {
        std::u16string text;
        bool terminated = false;
        if (isWide(encoding)) {
            char16_t unit;
            while (frame.unit(bigEndian, &unit)) {
                if (unit == 0) {
                    terminated = true;
                    break;
                }
                // Only a byte-order mark is dropped: a descriptor without one
                // must not take a letter out of every entry.
                if (unit == marker && marker == kByteOrderMark) continue;
                text += unit;
            }
        } else {
            std::string bytes;
            for (int c = frame.byte(); c >= 0; c = frame.byte()) {
                if (c == 0) {
                    terminated = true;
                    break;
                }
                bytes.push_back(static_cast<char>(c));
            }
            text = narrowText(bytes, encoding);
        }
        std::uint32_t time = 0;
        if (!terminated || !frame.bigEndian32(&time)) return;  // the entry was cut short
        lyrics.times.push_back(static_cast<std::int32_t>(time));
        lyrics.texts.push_back(std::move(text));
    }
}

std::u16string readUlt(std::FILE* file, const std::u16string& path) {
    ID3Tag tag;
    if (!tag.readTag(file)) throw LyricsManagerException(u"LyricsInfoManager::getUltTagText", __LINE__, path, 3);
    FieldReader frame(lyricsFrame(tag, "ULT", "USLT", u"LyricsInfoManager::getUltTagText", path));

    // A frame whose first byte is a letter has no encoding byte: the language
    // code starts there, and the text is narrow.
    TextEncoding encoding = TextEncoding::Narrow;
    if (!isLetter(frame.peek()) && !frame.atEnd()) encoding = encodingOf(frame.byte());
    for (int i = 0; i < 3; ++i) frame.byte();  // the language

    // An empty descriptor, with or without a byte-order mark, is passed over; a
    // descriptor with text is read as part of the lyrics.
    for (int i = 0; i < 4; ++i) {
        const int c = frame.byte();
        if (c < 0) throw LyricsManagerException(u"LyricsInfoManager::getUltTagText", __LINE__, path, 0);
        if (c != 0 && c != 0xFE && c != 0xFF) {
            frame.back();
            break;
        }
    }

    // The text runs to the end of the frame (or to its terminator).
    std::u16string text;
    if (isWide(encoding)) {
        bool bigEndian = encoding == TextEncoding::Utf16BigEndian;
        char16_t unit;
        while (frame.unit(bigEndian, &unit)) {
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
        for (int c = frame.byte(); c >= 0; c = frame.byte()) {
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
        readSylt(closer.file, path, *this);
        return true;
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
