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

// Makes room for a text of the given length. A fresh buffer of many megabytes
// is prefetched as a whole: faulting it in page by page costs more than
// decoding the file that fills it.
void prepareText(std::u16string& text, std::size_t units) {
    constexpr std::size_t kLargeText = 4u << 20;
    if (units > text.capacity() && units * sizeof(char16_t) >= kLargeText) {
        std::u16string fresh;
        fresh.reserve(units);  // may throw; the text is then still whole
        WIN32_MEMORY_RANGE_ENTRY range{fresh.data(), units * sizeof(char16_t)};
        PrefetchVirtualMemory(GetCurrentProcess(), 1, &range, 0);
        text.swap(fresh);
    }
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
void decodeNarrow(const unsigned char* d, std::size_t n, std::u16string& text, unsigned codePage,
                  bool mayHoldZero) {
    prepareText(text, n);
    int got = n ? MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(d), static_cast<int>(n),
                                      text.data(), static_cast<int>(n))
                : 0;
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    if (mayHoldZero) cutAtZero(text);
}

// The whole file, mapped read-only for as long as the object lives.
class MappedFile {
public:
    explicit MappedFile(const std::u16string& path) {
        m_file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER size{};
        if (m_file == INVALID_HANDLE_VALUE || !GetFileSizeEx(m_file, &size)) return;
        m_size = static_cast<std::size_t>(size.QuadPart);
        m_opened = true;
        if (m_size == 0) return;
        m_mapping = CreateFileMappingW(m_file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (m_mapping) m_view = static_cast<const unsigned char*>(MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0));
        if (!m_view) m_opened = false;
    }
    ~MappedFile() {
        if (m_view) UnmapViewOfFile(m_view);
        if (m_mapping) CloseHandle(m_mapping);
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool opened() const { return m_opened; }
    const unsigned char* data() const { return m_view; }
    std::size_t size() const { return m_size; }

private:
    HANDLE m_file = INVALID_HANDLE_VALUE;
    HANDLE m_mapping = nullptr;
    const unsigned char* m_view = nullptr;
    std::size_t m_size = 0;
    bool m_opened = false;
};

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
        code = detectEncoding(d, n);
        detected = true;
    } else {
        code = hint;
    }

    const unsigned char* body = d + start;
    const std::size_t length = n - start;
    // Detection has already ruled out zero bytes for every code but binary.
    const bool mayHoldZero = !detected;
    switch (code) {
    case encoding::kUtf16LE: decodeUtf16(body, length, text, false); break;
    case encoding::kUtf16BE: decodeUtf16(body, length, text, true); break;
    case encoding::kUtf8:
    case encoding::kUtf8WithMark: decodeNarrow(body, length, text, CP_UTF8, mayHoldZero); break;
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
    default: decodeNarrow(body, length, text, narrowCodePage(), mayHoldZero); break;
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
