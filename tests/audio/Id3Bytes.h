// ID3v2 tags byte by byte, as the tests write them by hand: big-endian and
// syncsafe numbers, UTF-16 text, frames and whole tags of a given version.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace id3bytes {

using namespace std::string_literals;

inline std::string be(std::uint32_t v, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return out;
}

inline std::string syncsafe(std::uint32_t v) {
    std::string out;
    for (int shift : {21, 14, 7, 0}) out.push_back(static_cast<char>((v >> shift) & 0x7F));
    return out;
}

inline std::string utf16le(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

inline std::string utf16be(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

enum class Sizes { Plain, Syncsafe };

// A frame for a tag of the given major version.
inline std::string frame(int version, const std::string& id, const std::string& data, Sizes sizes = Sizes::Plain) {
    if (version == 2) return id.substr(0, 3) + be(static_cast<std::uint32_t>(data.size()), 3) + data;
    std::string size = sizes == Sizes::Syncsafe ? syncsafe(static_cast<std::uint32_t>(data.size()))
                                                : be(static_cast<std::uint32_t>(data.size()), 4);
    return id + size + "\0\0"s + data;
}

inline std::string tag(int version, const std::string& frames, std::size_t padding = 16) {
    std::string body = frames + std::string(padding, '\0');
    return "ID3"s + static_cast<char>(version) + "\0\0"s + syncsafe(static_cast<std::uint32_t>(body.size())) + body;
}

// Some audio after the tag, as an MP3 file has.
inline const std::string kAudio = "\xFF\xFB\x90\x64" + std::string(413, '\0');

}  // namespace id3bytes
