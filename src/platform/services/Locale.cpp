#include <cstdlib>
#include <string_view>

#include "platform/win32.h"

namespace {

LCID localeFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        const std::string_view locale(value);
        if (locale.starts_with("ja_JP")) return 1041;
        if (locale.starts_with("zh_TW")) return 1028;
        return 1033;
    }
    return 1033;
}

}  // namespace

LCID GetThreadLocale() { return localeFromEnvironment(); }

LCID GetSystemDefaultLCID() { return localeFromEnvironment(); }
