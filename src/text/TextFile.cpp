#include "text/TextFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>

#include "platform/win32.h"
#include "text/EncodingDetection.h"
#include "text/MappedFile.h"
#include "text/NarrowText.h"
#include "text/ReplacingFile.h"

static_assert(std::endian::native == std::endian::little, "UTF-16LE is copied as stored");

namespace {

// Makes room for a text of up to the given length. A fresh buffer of many
// megabytes is prefetched as a whole: faulting it in page by page costs more
// than decoding the file that fills it.
void reserveText(std::u16string& text, std::size_t units) {
    constexpr std::size_t kLargeText = 4u << 20;
    if (units > text.capacity() && units * sizeof(char16_t) >= kLargeText) {
        std::u16string fresh;
        fresh.reserve(units);  // may throw; the text is then still whole
        WIN32_MEMORY_RANGE_ENTRY range{fresh.data(), units * sizeof(char16_t)};
        PrefetchVirtualMemory(GetCurrentProcess(), 1, &range, 0);
        text.swap(fresh);
    }
}

// Makes the text the given length, for a decoder to write into.
void prepareText(std::u16string& text, std::size_t units) {
    reserveText(text, units);
    text.resize(units);
}

// Cuts the text at its first zero character, as a C string would end there.
void cutAtZero(std::u16string& text) {
    std::size_t zero = text.find(u'\0');
    if (zero != std::u16string::npos) text.resize(zero);
}

void decodeUtf16(const unsigned char* d, std::size_t n, std::u16string& text, bool swap) {
    std::size_t units = n / 2;  // a final odd byte is ignored
    prepareText(text, units);
    std::memcpy(text.data(), d, units * 2);
    if (swap)
        for (char16_t& c : text) c = static_cast<char16_t>((c >> 8) | (c << 8));
    cutAtZero(text);
}

// Decodes straight into the text, reusing its storage: no narrow encoding
// yields more UTF-16 units than it has bytes.
void decodeNarrow(const unsigned char* d, std::size_t n, std::u16string& text, unsigned codePage, bool mayHoldZero) {
    prepareText(text, n);
    int got = n ? MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(d), static_cast<int>(n), text.data(),
                                      static_cast<int>(n))
                : 0;
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    if (mayHoldZero) cutAtZero(text);
}

// Most text without a mark is UTF-8 or plain ASCII. Decoding it strictly as
// UTF-8 tells whether it is well formed and decodes it in the same pass. The
// code detection gives such data, or -1 when it is not well-formed UTF-8 or
// holds a zero byte; `decoded` tells whether the text already holds it.
int detectByDecodingUtf8(const unsigned char* d, std::size_t n, std::u16string& text, bool& decoded) {
    decoded = false;
    if (n == 0 || std::memchr(d, 0, n)) return -1;
    // Decoded a piece at a time into a small buffer and appended, so that the
    // text is written once rather than first filled with zeros.
    constexpr std::size_t kPiece = 1u << 15;
    const auto piece = std::make_unique_for_overwrite<char16_t[]>(kPiece);
    text.clear();
    reserveText(text, n);
    for (std::size_t at = 0; at < n;) {
        std::size_t end = std::min(n, at + kPiece);
        // Pieces end before a byte that begins a sequence, so that none is cut
        // in two; data with more continuation bytes in a row is ill formed and
        // fails in the piece it begins in or the next.
        for (std::size_t back = 0; end < n && back < 3 && (d[end] & 0xC0) == 0x80; ++back) --end;
        const int got = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(d + at),
                                            static_cast<int>(end - at), piece.get(), static_cast<int>(kPiece));
        if (got <= 0) return -1;
        text.append(piece.get(), static_cast<std::size_t>(got));
        at = end;
    }
    // As many units as bytes: nothing but ASCII, which detection calls narrow.
    // Anything else well formed is UTF-8 to detection (see detectEncoding).
    if (text.size() == n) return encoding::kNarrow;
    decoded = true;
    return encoding::kUtf8;
}

}  // namespace

int decodeBytes(const void* data, std::size_t n, std::u16string& text, int hint) {
    auto* d = static_cast<const unsigned char*>(data);
    int code;
    std::size_t start = 0;
    bool detected = false;
    if (n >= 2 && d[0] == 0xFF && d[1] == 0xFE) {
        code = encoding::kUtf16LE;
        start = 2;
    } else if (n >= 2 && d[0] == 0xFE && d[1] == 0xFF) {
        code = encoding::kUtf16BE;
        start = 2;
    } else if (n >= 3 && d[0] == 0xEF && d[1] == 0xBB && d[2] == 0xBF) {
        code = encoding::kUtf8WithMark;
        start = 3;
    } else if (hint == encoding::kDetect) {
        bool decoded;
        code = detectByDecodingUtf8(d, n, text, decoded);
        if (decoded) return code;
        if (code < 0) code = detectEncoding(d, n);
        detected = true;
    } else {
        code = hint;
    }

    const unsigned char* body = d + start;
    const std::size_t length = n - start;
    // Detection has already ruled out zero bytes for every code but binary.
    const bool mayHoldZero = !detected;
    switch (code) {
        case encoding::kUtf16LE:
            decodeUtf16(body, length, text, false);
            break;
        case encoding::kUtf16BE:
            decodeUtf16(body, length, text, true);
            break;
        case encoding::kUtf8:
        case encoding::kUtf8WithMark:
            decodeNarrow(body, length, text, CP_UTF8, mayHoldZero);
            break;
        case encoding::kEucJp: {
            std::string bytes(reinterpret_cast<const char*>(body), length);
            eucJpToShiftJis(bytes);
            decodeNarrow(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), text, narrowCodePage(),
                         mayHoldZero);
            break;
        }
        case encoding::kBinary: {
            const void* zero = std::memchr(body, 0, length);
            std::size_t upTo = zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - body) : length;
            decodeNarrow(body, upTo, text, narrowCodePage(), false);
            break;
        }
        default:
            decodeNarrow(body, length, text, narrowCodePage(), mayHoldZero);
            break;
    }
    return code;
}

int readTextFile(const std::u16string& path, std::u16string& text, int hint) {
    MappedFile file(path);
    // The conversions count in int, as the platform's do: a text file of 2 GB
    // or more is not one the program can hold.
    if (!file.opened() || file.size() >= 0x7FFFFFFF) return -1;
    if (file.size() == 0) {
        text.clear();
        return hint == encoding::kDetect ? encoding::kUtf16LE : hint;
    }
    try {
        return decodeBytes(file.data(), file.size(), text, hint);
    } catch (const std::bad_alloc&) {
        // Growing the text failed before anything was written into it.
        return -1;
    }
}

bool writeByteOrderMark(std::FILE* file, int code) {
    std::string_view mark;
    switch (code) {
        case encoding::kDetect:
        case encoding::kUtf16LE:
            mark = "\xFF\xFE";
            break;
        case encoding::kUtf16BE:
            mark = "\xFE\xFF";
            break;
        case encoding::kUtf8WithMark:
            mark = "\xEF\xBB\xBF";
            break;
        default:
            return true;
    }
    return std::fwrite(mark.data(), 1, mark.size(), file) == mark.size();
}

std::string encodeText(std::u16string_view text, int code) {
    std::string out;
    if (text.empty()) return out;
    switch (code) {
        case encoding::kDetect:
        case encoding::kUtf16LE:
            out.resize(text.size() * 2);
            std::memcpy(out.data(), text.data(), out.size());
            break;
        case encoding::kUtf16BE:
            out.resize(text.size() * 2);
            for (std::size_t i = 0; i < text.size(); ++i) {
                out[2 * i] = static_cast<char>(text[i] >> 8);
                out[2 * i + 1] = static_cast<char>(text[i] & 0xFF);
            }
            break;
        case encoding::kUtf8:
        case encoding::kUtf8WithMark:
            out = encodeCodePage(text, CP_UTF8);
            break;
        case encoding::kEucJp:
            out = encodeCodePage(text, 20932);
            break;
        case encoding::kBinary:
            break;
        default:
            out = toNarrow(text);
            break;
    }
    return out;
}

bool writeEncoded(std::FILE* file, std::u16string_view text, int code) {
    std::string bytes = encodeText(text, code);
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

bool saveTextFile(const std::u16string& path, std::u16string_view text, int code) {
    ReplacingFile out(path);
    if (!out.file()) return false;
    if (!writeByteOrderMark(out.file(), code) || !writeEncoded(out.file(), text, code)) return false;
    return out.commit();
}
