#include "text/NarrowText.h"

#include <atomic>

#include "platform/win32.h"

namespace {
// Written once at start-up before other threads exist, and by the playlist save
// on the interface thread; atomic so that a worker's read is never torn.
std::atomic<unsigned> currentCodePage{CP_ACP};
}  // namespace

void setNarrowCodePage(unsigned codePage) { currentCodePage.store(codePage); }
unsigned narrowCodePage() { return currentCodePage.load(); }

std::string encodeCodePage(std::u16string_view text, unsigned codePage) {
    std::string out;
    if (text.empty()) return out;
    // Any code page we convert to needs at most three bytes per UTF-16 unit.
    out.resize(text.size() * 3);
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

std::u16string decodeCodePage(std::string_view bytes, unsigned codePage) {
    std::u16string out;
    if (bytes.empty()) return out;
    // No narrow encoding yields more UTF-16 units than it has bytes.
    out.resize(bytes.size());
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                                static_cast<int>(out.size()));
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

std::string toNarrow(std::u16string_view text) { return encodeCodePage(text, narrowCodePage()); }
std::u16string toWide(std::string_view narrow) { return decodeCodePage(narrow, narrowCodePage()); }
