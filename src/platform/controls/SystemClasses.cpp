#include "platform/controls/SystemClasses.h"

#include <cstdint>
#include <string_view>

#include "platform/api/Tooltip.h"
#include "platform/common/AsciiCase.h"
#include "platform/win32.h"

namespace veltrix::platform {

void ensureSystemClass(LPCWSTR className) {
    // Atoms (values below 0x10000) name registered classes already.
    if (!className || reinterpret_cast<std::uintptr_t>(className) < 0x10000) return;
    std::u16string_view name(className);
    WNDCLASSEXW existing{};
    if (ascii::equalsIgnoringCase(name, TOOLTIPS_CLASSW) && !GetClassInfoExW(nullptr, TOOLTIPS_CLASSW, &existing)) {
        registerTooltipClass();
    }
}

}  // namespace veltrix::platform
