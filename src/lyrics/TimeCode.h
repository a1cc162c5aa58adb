// Times as the sentence table shows them and sentence-list files store them:
// minutes, seconds and hundredths, so text keeps a time to 10 ms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "%02d:%02d:%02d" of minutes, seconds and hundredths; minutes are not wrapped
// into hours (100 minutes read 100:00:00).
std::u16string formatTimeCode(std::uint32_t milliseconds);
// The time of "m:s:h" (exactly three parts, each a decimal integer read as the
// C library reads one); the third part counts hundredths whatever its number of
// digits. 0 for anything else, the empty text included.
std::uint32_t parseTimeCode(std::u16string_view text);
