#pragma once

#include <memory>
#include <string>

#include "encoder/conversion_outcome.h"
#include "conversion/conversion_request.h"
#include "parse/encoder_report_sink.h"
#include "encoder/encoder_runner.h"
#include "platform/free_space.h"
#include "conversion/source_description.h"
#include "platform/stop_signal.h"

namespace vantrel {

struct EncoderSetup {
    std::string encoderPath;  // usually LocateEncoder()
    std::shared_ptr<const FreeSpaceSource> freeSpace = std::make_shared<FileSystemFreeSpace>();
    int consoleInputFd = 0;   // -1: forward nothing
};

struct ProbeResult {
    // kConverted when ffmpeg described the source with a duration;
    // kUndecodableSource when it ran but could not; kStopped, kNotCarriedOut.
    ConversionOutcome outcome = kNotCarriedOut;
    SourceDescription source;
};

// What both front ends do with a source: describe it, then convert it. Each
// call runs ffmpeg once and blocks the calling thread until it is over and
// reaped. Calls on one Converter run one at a time (a second waits); `stop`
// may be null, and otherwise must stay alive for the call.
class Converter {
public:
    explicit Converter(EncoderSetup setup);

    // Reads the source's description. Writes nothing, so it watches no free space.
    ProbeResult Probe(const std::string& sourcePath, const StopSignal* stop);

    // Writes the target. The observer hears of the panel texts ffmpeg reports
    // and of the progress, from 0 at the start to the end, on the calling
    // thread. A run that does not end converted leaves no partial target, and
    // never removes a file it did not write.
    ConversionOutcome Convert(const ConversionRequest& request, const StopSignal* stop,
                              EncoderReportSink& observer);

    const std::string& encoderPath() const { return setup_.encoderPath; }

private:
    EncoderSetup setup_;
    EncoderRunner runner_;
};

}  // namespace vantrel
