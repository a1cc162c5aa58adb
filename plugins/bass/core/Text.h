// File names reach the library as UTF-16 (BASS_UNICODE) or as narrow UTF-8.
#pragma once

#include <string>

#include "audio/BassApi.h"

namespace bass {

// The file name argument of the file functions, by the BASS_UNICODE flag.
std::string fileNameArgument(const void* file, BASS_DWORD flags);

}  // namespace bass
