#include "encoder/output_pump.h"

#include "parse/encoder_output_parser.h"
#include "parse/line_chunker.h"
#include "parse/text_scan.h"

namespace vantrel {
namespace {

constexpr int kMaxDecodeFailures = 10;
// A read that fails for another reason than the end is retried after a short
// pause, a bounded number of times.
constexpr int kReadRetryPauseMs = 10;
constexpr int kMaxReadRetries = 200;
constexpr int kDrainAfterExitMs = 1000;

constexpr char kNoSpaceMarker[] = "No space left on device";

PumpResult Finish(ChildProcess& child, RunStatus status, bool noSpace) {
    child.Kill();
    return {status, child.Reap(), noSpace, {}};
}

// The output has ended; the encoder normally exits with it. Wait for that (a
// stop still ends the wait), then clear out anything left in its group while
// its pid is still reserved by the unreaped zombie.
PumpResult FinishAtEndOfOutput(ChildProcess& child, const StopSignal* stop, bool noSpace) {
    if (!child.CanWatchExit()) {
        // No way to wait and watch the stop signal together: just reap. Do
        // not kill first, or a clean exit could be turned into a failure.
        const int exitCode = child.Reap();
        return {RunStatus::kOutputEnded, exitCode, noSpace, {}};
    }
    for (;;) {
        const ChildProcess::Wake wake = child.Wait(stop, true, -1);
        if (wake.failed || wake.exited) break;
        if (wake.stop) return Finish(child, RunStatus::kStopRequested, noSpace);
    }
    return Finish(child, RunStatus::kOutputEnded, noSpace);
}

}  // namespace

PumpResult PumpEncoderOutput(ChildProcess& child, ParserState& state, EncoderReportSink& sink,
                             const PumpSettings& settings) {
    state.positionHundredths = 0;
    state.progressPercent = 0.0f;
    state.pictureDecodeFailures = 0;

    bool noSpace = false;
    bool childExited = false;
    int readRetries = 0;
    LineChunker chunker;
    char line[LineChunker::kMaxChunk + 1];
    // Parses every line that is ready. A NUL inside a line ends what the
    // parser sees, as for any reader of C strings.
    const auto parseReady = [&](bool flush) {
        while (chunker.Take(line, flush) != 0) {
            ParseEncoderOutput(state, sink, line);
            noSpace = noSpace || FindSubstring(kNoSpaceMarker, line) >= 0;
        }
    };
    // Only a run that ended well is done; one that failed must not show a
    // full bar, least of all one that is about to be run again.
    const auto endOfOutput = [&] {
        parseReady(true);
        FinishSourceDescription(state, sink);
        const PumpResult result = FinishAtEndOfOutput(child, settings.stop, noSpace);
        if (result.status == RunStatus::kOutputEnded && result.exitCode == 0) {
            state.progressPercent = 100.0f;
            PostProgress(state, sink);
        }
        return result;
    };

    for (;;) {
        // Once the encoder has ended, whatever still holds its pipe (something
        // that left its process group) gets a bounded time to finish writing.
        const int timeout = readRetries > 0 ? kReadRetryPauseMs
                            : childExited   ? kDrainAfterExitMs
                                            : -1;
        const ChildProcess::Wake wake = child.Wait(settings.stop, !childExited, timeout);
        const bool timedOut = !wake.output && !wake.stop && !wake.exited && !wake.failed;
        if (timedOut && childExited && readRetries == 0) return endOfOutput();
        if (wake.failed) {
            if (++readRetries > kMaxReadRetries) return Finish(child, RunStatus::kOutputEnded, noSpace);
            continue;
        }

        if (wake.exited) {
            // The encoder has ended. Something it started may still hold the
            // pipe; end it, so the rest of the output drains and the pipe closes.
            childExited = true;
            child.Kill();
        }

        if (wake.output || readRetries > 0) {
            const long n = child.ReadOutput(chunker.tail(), chunker.space());
            if (n == 0) return endOfOutput();
            if (n > 0) {
                readRetries = 0;
                chunker.Commit(static_cast<size_t>(n));
                parseReady(false);
                if (settings.freeSpace != nullptr) {
                    const auto free = settings.freeSpace->FreeBytes(settings.watchedFolder);
                    if (free && *free == 0) return Finish(child, RunStatus::kDriveFull, noSpace);
                }
            } else if (++readRetries > kMaxReadRetries) {
                return Finish(child, RunStatus::kOutputEnded, noSpace);
            }
        }

        // After a read, and after a failed read, as after a wake-up by the
        // stop signal alone: decoding failures first, then the stop request.
        if (state.pictureDecodeFailures > kMaxDecodeFailures) {
            return Finish(child, RunStatus::kTooManyDecodeErrors, noSpace);
        }
        if (settings.abandonWhen && settings.abandonWhen(state)) {
            return Finish(child, RunStatus::kAbandoned, noSpace);
        }
        if (settings.stop != nullptr && settings.stop->IsSignalled()) {
            return Finish(child, RunStatus::kStopRequested, noSpace);
        }
    }
}

}  // namespace vantrel
