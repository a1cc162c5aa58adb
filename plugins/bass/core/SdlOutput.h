// The SDL audio driver (OutputDriver.h).
#pragma once

#include <memory>

#include "core/OutputDriver.h"

namespace bass {

int startSdlAudio(int device, OutputDevice& chosen);
void stopSdlAudio();
std::unique_ptr<OutputDriver> openSdlOutput(const OutputDevice& device, int rate, OutputRenderer& renderer);

}  // namespace bass
