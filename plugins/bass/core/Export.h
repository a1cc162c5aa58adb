// The published functions are plain C symbols, looked up by name.
#pragma once

#define BASS_EXPORT extern "C" __attribute__((visibility("default")))
