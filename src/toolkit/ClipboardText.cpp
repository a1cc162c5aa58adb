#include "toolkit/ClipboardText.h"

#include <string_view>

std::u16string unicodeTextOfBlock(HANDLE block) {
    std::u16string text;
    if (!block) return text;
    const auto* chars = static_cast<const char16_t*>(GlobalLock(block));
    if (!chars) return text;
    std::u16string_view all(chars, GlobalSize(block) / sizeof(char16_t));
    text.assign(all.substr(0, all.find(u'\0')));
    GlobalUnlock(block);
    return text;
}

std::u16string narrowTextOfBlock(HANDLE block) {
    std::u16string text;
    if (!block) return text;
    const auto* bytes = static_cast<const char*>(GlobalLock(block));
    if (!bytes) return text;
    std::string_view all(bytes, GlobalSize(block));
    std::string_view narrow = all.substr(0, all.find('\0'));
    int n = MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
    if (n > 0) {
        text.resize(static_cast<std::size_t>(n));
        MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), text.data(), n);
    }
    GlobalUnlock(block);
    return text;
}

std::u16string readClipboardText(HWND owner) {
    if (!OpenClipboard(owner)) return {};
    std::u16string text;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        text = unicodeTextOfBlock(GetClipboardData(CF_UNICODETEXT));
    } else if (IsClipboardFormatAvailable(CF_TEXT)) {
        text = narrowTextOfBlock(GetClipboardData(CF_TEXT));
    }
    CloseClipboard();
    return text;
}
