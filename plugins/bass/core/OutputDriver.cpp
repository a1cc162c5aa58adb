#include "core/OutputDriver.h"

#include "audio/BassApi.h"
#include "core/LatencyOutput.h"
#include "core/SdlOutput.h"

namespace bass {

int startOutputSystem(int device, OutputDevice& chosen) {
    if (requestedTestLatency()) {
        // The test output is the one device there is.
        if (device != -1 && device != 1) return BASS_ERROR_DEVICE;
        chosen = OutputDevice{1, {}};
        return BASS_OK;
    }
    return startSdlAudio(device, chosen);
}

void stopOutputSystem() { stopSdlAudio(); }

std::unique_ptr<OutputDriver> openOutput(const OutputDevice& device, int rate, OutputRenderer& renderer, int& error) {
    if (auto latency = requestedTestLatency()) return openLatencyOutput(rate, *latency, renderer);
    auto output = openSdlOutput(device, rate, renderer);
    if (!output) error = BASS_ERROR_DEVICE;
    return output;
}

}  // namespace bass
