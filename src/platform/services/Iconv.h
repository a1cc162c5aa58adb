// A converter between UTF-16LE and one iconv character set, owning its iconv
// descriptors. Used for the code pages without tables of their own and to build
// the Shift_JIS tables once.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

class Iconv {
public:
    // charset: an iconv name such as "CP932" or "EUC-JP-MS". valid() is false
    // when the C library does not know it.
    explicit Iconv(const char* charset);
    ~Iconv();
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool valid() const { return m_toWide != nullptr && m_toNarrow != nullptr; }

    // Converts narrow text; a byte that starts no valid sequence becomes
    // `invalid` and the conversion goes on with the next byte.
    std::u16string toWide(std::string_view narrow, char16_t invalid) const;
    // Converts UTF-16 text; a character the charset lacks becomes
    // `defaultChar`. *usedDefault is set when that happened.
    std::string toNarrow(std::u16string_view wide, std::string_view defaultChar, bool* usedDefault) const;

    // One character each way, for table building: false when unmapped.
    bool decodeOne(std::string_view bytes, char16_t* out) const;
    bool encodeOne(char16_t c, std::string* out) const;

private:
    void* m_toWide = nullptr;
    void* m_toNarrow = nullptr;
};

}  // namespace platform
