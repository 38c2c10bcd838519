#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "conversion_outcome.h"
#include "conversion_request.h"
#include "encoder_runner.h"
#include "free_space.h"
#include "parser_state.h"
#include "run_observer.h"
#include "stop_signal.h"

namespace vantrel {

struct EncoderSetup {
    std::string encoderPath;  // usually LocateEncoder()
    std::shared_ptr<const FreeSpaceSource> freeSpace = std::make_shared<FileSystemFreeSpace>();
    int consoleInputFd = 0;   // -1: forward nothing
};

// The conversion engine: composes the encoder's command, runs it, reads its
// reports and decides the outcome. Keeps the parser's state from one run to the
// next (the duration of the last probed source, among others).
class Converter {
public:
    // Progress posted by a conversion run (mode 1) at its start and its end.
    static constexpr unsigned kProbeMode = 0;
    static constexpr unsigned kConversionMode = 1;

    Converter(EncoderSetup setup, RunObserver& observer);

    // Runs the encoder once and returns when it is over. A conversion
    // (kConversionMode) resets and posts progress; a probe has an empty target
    // and writes nothing. `stop` may be null. Thread: any, one run at a time
    // (a second call waits for the first).
    ConversionOutcome RunConversion(const ConversionRequest& request, unsigned mode,
                                    std::shared_ptr<StopSignal> stop);

    ParserState& state() { return state_; }
    const ParserState& state() const { return state_; }

    // The video bitrate in kbit/s for the next run; any thread.
    void SetVideoBitrate(int32_t kilobits) { videoBitrate_.store(kilobits); }
    int32_t videoBitrate() const { return videoBitrate_.load(); }

    const std::string& encoderPath() const { return setup_.encoderPath; }

private:
    EncoderSetup setup_;
    RunObserver& observer_;
    // Held for a whole run, so that a run never sees another's progress or
    // target, even when a stopped run is still finishing as the next begins.
    std::mutex runLock_;
    ParserState state_;
    EncoderRunner runner_;
    std::atomic<int32_t> videoBitrate_{256};
};

// The folder whose file system a run watches: the target's, or "/" for a probe.
std::string WatchedFolderFor(const std::string& targetPath);

}  // namespace vantrel
