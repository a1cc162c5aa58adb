#include "core/Text.h"

#include "platform/common/Unicode.h"

namespace bass {

std::string fileNameArgument(const void* file, BASS_DWORD flags) {
    if (!file) return {};
    if (flags & BASS_UNICODE) return veltrix::unicode::utf16ToUtf8(static_cast<const char16_t*>(file));
    return std::string(static_cast<const char*>(file));
}

}  // namespace bass
