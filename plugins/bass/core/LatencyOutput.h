// A test output with the timing of a real device: it consumes frames in real
// time on a thread of its own, and each frame is heard a fixed latency after
// it was taken. What it takes is kept (the last minute of it) so that a test
// can compare what was heard, and when, with the positions it was told.
//
// Chosen with VELTRIX_BASS_OUTPUT=latency (100 ms) or latency:<milliseconds>;
// tests only. Frame k of everything the output has consumed since it was
// opened is heard at origin + k / rate, on the steady clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "core/OutputDriver.h"

namespace bass {

// The latency asked for by the environment, or none when the real output is to be used.
std::optional<std::chrono::milliseconds> requestedTestLatency();

std::unique_ptr<OutputDriver> openLatencyOutput(int rate, std::chrono::milliseconds latency, OutputRenderer& renderer);

}  // namespace bass
