#include "platform/services/NativePath.h"

#include "platform/common/Unicode.h"

namespace platform {

std::string nativePath(std::u16string_view path) {
    std::string out = veltrix::unicode::utf16ToUtf8(path);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::u16string programPath(std::string_view nativePath) { return veltrix::unicode::utf8ToUtf16(nativePath); }

}  // namespace platform
