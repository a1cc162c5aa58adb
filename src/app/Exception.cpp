#include "app/Exception.h"

#include <cstdio>

#include "platform/win32.h"

namespace {
std::u16string ascii(const char* s) { return std::u16string(s, s + std::char_traits<char>::length(s)); }
}  // namespace

std::u16string Exception::displayText() const {
    std::u16string text =
        u"Function: " + m_function + u"\nLine:     " + ascii(std::to_string(m_line).c_str()) + u"\nException:\n";
    if (!m_message.empty()) text += m_message + u"\n";
    if (m_code != 0) {
        char hex[24];
        std::snprintf(hex, sizeof hex, "0x%lX", static_cast<unsigned long>(m_code) & 0xFFFFFFFFul);
        text += u"ErrorCode: " + ascii(hex) + u"\n" + describeCode(m_code);
    }
    return text;
}

std::u16string Exception::describeCode(long code) const {
    WCHAR buffer[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(code), 0, buffer, 512, nullptr);
    return n ? std::u16string(buffer, n) : std::u16string(u"Unexpected HRESULT");
}
