#include "platform/services/NativePath.h"

#include "platform/services/Utf.h"

namespace platform {

std::string nativePath(std::u16string_view path) {
    std::string out = utf16ToUtf8(path);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::u16string programPath(std::string_view nativePath) { return utf8ToUtf16(nativePath); }

}  // namespace platform
