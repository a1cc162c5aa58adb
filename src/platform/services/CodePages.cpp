// MultiByteToWideChar and WideCharToMultiByte for the code pages the program
// uses: 932 by table, UTF-8 by hand (both are on the path of every large file
// read), 20932 and anything else through iconv.
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/common/Unicode.h"
#include "platform/services/Iconv.h"
#include "platform/services/ShiftJisTable.h"
#include "platform/win32.h"

namespace {

UINT resolve(UINT codePage) { return (codePage == CP_ACP || codePage == CP_OEMCP) ? GetACP() : codePage; }

// iconv converters are not safe to share between threads, so each thread keeps
// its own, by code page.
const platform::Iconv* iconvFor(UINT codePage) {
    thread_local std::unordered_map<UINT, std::unique_ptr<platform::Iconv>> converters;
    auto it = converters.find(codePage);
    if (it == converters.end()) {
        std::string name;
        if (codePage == 20932)
            name = "EUC-JP-MS";
        else
            name = "CP" + std::to_string(codePage);
        auto converter = std::make_unique<platform::Iconv>(name.c_str());
        if (!converter->valid() && codePage == 20932) converter = std::make_unique<platform::Iconv>("EUC-JP");
        it = converters.emplace(codePage, std::move(converter)).first;
    }
    return it->second->valid() ? it->second.get() : nullptr;
}

template <typename T>
std::size_t lengthWithTerminator(const T* s) {
    std::size_t n = 0;
    while (s[n]) ++n;
    return n + 1;
}

// Copies a finished conversion to the caller's buffer with the Win32 sizing rules.
template <typename T>
int deliver(const T* converted, std::size_t count, T* destination, int destinationSize) {
    if (destinationSize == 0) return static_cast<int>(count);
    if (count > static_cast<std::size_t>(destinationSize)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(destination, converted, count * sizeof(T));
    return static_cast<int>(count);
}

}  // namespace

UINT GetACP() { return CP_UTF8; }

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceBytes, LPWSTR destination,
                        int destinationChars) {
    if (!source || sourceBytes == 0 || sourceBytes < -1 || destinationChars < 0 ||
        (destinationChars > 0 && !destination)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t n = sourceBytes == -1 ? lengthWithTerminator(source) : static_cast<std::size_t>(sourceBytes);
    auto* bytes = reinterpret_cast<const unsigned char*>(source);
    UINT cp = resolve(codePage);

    if (flags & MB_ERR_INVALID_CHARS) {
        // Only UTF-8 is read strictly, which is what telling UTF-8 files from
        // others needs.
        if (cp != CP_UTF8 || (flags & ~MB_ERR_INVALID_CHARS)) {
            SetLastError(ERROR_INVALID_FLAGS);
            return 0;
        }
        std::u16string buffer;
        char16_t* out = destination;
        if (destinationChars < static_cast<int>(n)) {
            buffer.resize(n);
            out = buffer.data();
        }
        std::size_t written = 0;
        if (veltrix::unicode::decodeWellFormedUtf8(bytes, n, out, &written) != n) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        if (out == destination) return static_cast<int>(written);
        return deliver(buffer.data(), written, destination, destinationChars);
    }

    if (cp == CP_UTF8 || cp == 932) {
        auto decode = [&](char16_t* out) {
            return cp == CP_UTF8 ? veltrix::unicode::decodeUtf8(bytes, n, out)
                                 : platform::ShiftJisTable::instance().decode(bytes, n, out);
        };
        // Both decoders yield at most one unit per byte: decode straight into a
        // destination that is large enough, measuring only when it may not be.
        if (destinationChars >= static_cast<int>(n)) return static_cast<int>(decode(destination));
        std::size_t needed = cp == CP_UTF8 ? veltrix::unicode::decodedUtf8Length(bytes, n)
                                           : platform::ShiftJisTable::instance().decodedLength(bytes, n);
        if (destinationChars == 0) return static_cast<int>(needed);
        std::u16string buffer(n, u'\0');
        buffer.resize(decode(buffer.data()));
        return deliver(buffer.data(), buffer.size(), destination, destinationChars);
    }

    const platform::Iconv* converter = iconvFor(cp);
    if (!converter) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string wide = converter->toWide(std::string_view(source, n), u'\u30FB');
    return deliver(wide.data(), wide.size(), destination, destinationChars);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceChars, LPSTR destination,
                        int destinationBytes, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
    if (!source || sourceChars == 0 || sourceChars < -1 || destinationBytes < 0 ||
        (destinationBytes > 0 && !destination)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t n = sourceChars == -1 ? lengthWithTerminator(source) : static_cast<std::size_t>(sourceChars);
    UINT cp = resolve(codePage);
    bool usedDefault = false;
    std::string narrow;

    if (cp == CP_UTF8) {
        // UTF-8 has no default character: Windows rejects one being passed.
        if (defaultChar || usedDefaultChar) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        narrow.resize(n * 3);
        narrow.resize(veltrix::unicode::encodeUtf8(source, n, narrow.data()));
    } else {
        std::string fallback = defaultChar ? std::string(defaultChar) : std::string("?");
        if (cp == 932) {
            narrow.reserve(n * 2);
            platform::ShiftJisTable::instance().encode(source, n, narrow, fallback, &usedDefault);
        } else {
            const platform::Iconv* converter = iconvFor(cp);
            if (!converter) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            narrow = converter->toNarrow(std::u16string_view(source, n), fallback, &usedDefault);
        }
    }
    if (usedDefaultChar) *usedDefaultChar = usedDefault ? TRUE : FALSE;
    return deliver(narrow.data(), narrow.size(), destination, destinationBytes);
}
