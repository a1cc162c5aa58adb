// Stand-ins for the audio modules with the wrong version or missing functions,
// built into a folder of their own for the loading tests.
#include <cstdint>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

#ifdef FAKE_BASS
// Version 2.3: the player must say so and go on.
FAKE_EXPORT std::uint32_t BASS_GetVersion() { return 0x02030000; }
FAKE_EXPORT int BASS_ErrorGetCode() { return 0; }
#endif

#ifdef FAKE_BASS_FX
FAKE_EXPORT std::uint32_t BASS_FX_GetVersion() { return 0x02040000; }
FAKE_EXPORT std::uint32_t BASS_FX_TempoCreate(std::uint32_t, std::uint32_t) { return 0; }
#endif
