// A test output with the timing of a real device: it plays in real time from
// a queue a fixed latency long, which its thread keeps full by taking a block
// whenever the queue has room for one. A block taken late (on a busy machine)
// finds the queue run dry: silence fills the gap and the block is heard the
// latency after it was taken, as after an underrun. What it takes is kept (the
// last minute of it), with when each block is heard, so that a test can
// compare what was heard, and when, with the positions it was told.
//
// Chosen with VELTRIX_BASS_OUTPUT=latency (100 ms) or latency:<milliseconds>;
// tests only.
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
