#include "platform/controls/SystemClasses.h"

#include <cstdint>
#include <string_view>

#include "platform/api/Tooltip.h"
#include "platform/win32.h"

namespace veltrix::platform {

namespace {

bool sameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i] >= u'A' && a[i] <= u'Z' ? char16_t(a[i] + 32) : a[i];
        char16_t y = b[i] >= u'A' && b[i] <= u'Z' ? char16_t(b[i] + 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

}  // namespace

void ensureSystemClass(LPCWSTR className) {
    // Atoms (values below 0x10000) name registered classes already.
    if (!className || reinterpret_cast<std::uintptr_t>(className) < 0x10000) return;
    std::u16string_view name(className);
    WNDCLASSEXW existing{};
    if (sameName(name, TOOLTIPS_CLASSW) && !GetClassInfoExW(nullptr, TOOLTIPS_CLASSW, &existing)) {
        registerTooltipClass();
    }
}

}  // namespace veltrix::platform
