// Program paths are UTF-16 and may separate folders with "\" or "/"; the file
// system wants UTF-8 with "/".
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string nativePath(std::u16string_view path);
std::u16string programPath(std::string_view nativePath);

}  // namespace platform
