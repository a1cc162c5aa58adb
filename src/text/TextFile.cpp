#include "text/TextFile.h"

#include <bit>
#include <cstring>
#include <new>

#include "platform/win32.h"
#include "text/EncodingDetection.h"
#include "text/NarrowText.h"
#include "text/ReplacingFile.h"

static_assert(std::endian::native == std::endian::little, "UTF-16LE is copied as stored");

namespace {

// Cuts the text at its first zero character, as a C string would end there.
void cutAtZero(std::u16string& text) {
    std::size_t zero = text.find(u'\0');
    if (zero != std::u16string::npos) text.resize(zero);
}

void decodeUtf16(const unsigned char* d, std::size_t n, std::u16string& text, bool swap) {
    std::size_t units = n / 2;  // a final odd byte is ignored
    text.resize(units);
    std::memcpy(text.data(), d, units * 2);
    if (swap)
        for (char16_t& c : text) c = static_cast<char16_t>((c >> 8) | (c << 8));
    cutAtZero(text);
}

void decodeNarrow(const unsigned char* d, std::size_t n, std::u16string& text, unsigned codePage) {
    text = decodeCodePage(std::string_view(reinterpret_cast<const char*>(d), n), codePage);
    cutAtZero(text);
}

}  // namespace

int decodeBytes(const void* data, std::size_t n, std::u16string& text, int hint) {
    auto* d = static_cast<const unsigned char*>(data);
    int code;
    std::size_t start = 0;
    if (n >= 2 && d[0] == 0xFF && d[1] == 0xFE) {
        code = encoding::kUtf16LE;
        start = 2;
    } else if (n >= 2 && d[0] == 0xFE && d[1] == 0xFF) {
        code = encoding::kUtf16BE;
        start = 2;
    } else if (n >= 3 && d[0] == 0xEF && d[1] == 0xBB && d[2] == 0xBF) {
        code = encoding::kUtf8WithMark;
        start = 3;
    } else {
        code = hint == encoding::kDetect ? detectEncoding(d, n) : hint;
    }

    const unsigned char* body = d + start;
    const std::size_t length = n - start;
    switch (code) {
    case encoding::kUtf16LE: decodeUtf16(body, length, text, false); break;
    case encoding::kUtf16BE: decodeUtf16(body, length, text, true); break;
    case encoding::kUtf8:
    case encoding::kUtf8WithMark: decodeNarrow(body, length, text, CP_UTF8); break;
    case encoding::kEucJp: {
        std::string bytes(reinterpret_cast<const char*>(body), length);
        eucJpToShiftJis(bytes);
        decodeNarrow(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), text, narrowCodePage());
        break;
    }
    case encoding::kBinary: {
        const void* zero = std::memchr(body, 0, length);
        std::size_t upTo = zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - body) : length;
        decodeNarrow(body, upTo, text, narrowCodePage());
        break;
    }
    default: decodeNarrow(body, length, text, narrowCodePage()); break;
    }
    return code;
}

int readTextFile(const std::u16string& path, std::u16string& text, int hint) {
    std::FILE* file = _wfopen(path.c_str(), u"rb");
    if (!file) return -1;
    std::string bytes;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(file) : -1;
    ok = ok && size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        try {
            bytes.resize(static_cast<std::size_t>(size));
        } catch (const std::bad_alloc&) {
            // Larger than memory: as unreadable as a file that cannot be opened.
            std::fclose(file);
            return -1;
        }
        std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
        // A file that shrank while being read gives what was there; a read error fails.
        if (got < bytes.size() && std::ferror(file)) ok = false;
        bytes.resize(got);
    }
    std::fclose(file);
    if (!ok) return -1;
    if (bytes.empty()) {
        text.clear();
        return hint == encoding::kDetect ? encoding::kUtf16LE : hint;
    }
    return decodeBytes(bytes.data(), bytes.size(), text, hint);
}

bool writeByteOrderMark(std::FILE* file, int code) {
    std::string_view mark;
    switch (code) {
    case encoding::kDetect:
    case encoding::kUtf16LE: mark = "\xFF\xFE"; break;
    case encoding::kUtf16BE: mark = "\xFE\xFF"; break;
    case encoding::kUtf8WithMark: mark = "\xEF\xBB\xBF"; break;
    default: return true;
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
    case encoding::kUtf8WithMark: out = encodeCodePage(text, CP_UTF8); break;
    case encoding::kEucJp: out = encodeCodePage(text, 20932); break;
    case encoding::kBinary: break;
    default: out = toNarrow(text); break;
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
