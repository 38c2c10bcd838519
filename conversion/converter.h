#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "conversion/conversion_report.h"
#include "conversion/conversion_request.h"
#include "conversion/encoder_arguments.h"
#include "conversion/encoder_location.h"
#include "parse/encoder_report_sink.h"
#include "platform/expected.h"
#include "platform/free_space.h"
#include "platform/stop_signal.h"

namespace vantrel {

class EncoderRunner;

struct EncoderSetup {
    std::string encoderPath;  // usually LocateEncoder()
    std::shared_ptr<const FreeSpaceSource> freeSpace = std::make_shared<FileSystemFreeSpace>();
    // Where ffmpeg's console input comes from: this program's own (0), or
    // none (-1), as for a window, which has no console.
    int consoleInputFd = -1;
    // The font subtitles fall back on (LocateSubtitleFont()); a conversion
    // that draws text subtitles fails, saying so, when it is missing.
    std::string subtitleFont = LocateSubtitleFont();
};

// What both front ends do with a source: describe it, and convert it. Each
// call blocks the calling thread until its ffmpeg is over and reaped, and
// runs on that thread; calls on one Converter run one at a time (a second
// waits). `stop` may be null, and otherwise must stay alive for the call.
class Converter {
public:
    explicit Converter(EncoderSetup setup);
    ~Converter();
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Reads the source's description; writes nothing.
    Expected<SourceDescription, ProbeFailure> Probe(const std::string& sourcePath,
                                                   const StopSignal* stop);

    // Writes the target. `known` is the source as a probe described it, or
    // null: a probe finds out first when the loudness is to be measured, and
    // otherwise the conversion's own run, where a source unlike what was
    // assumed (no sound, no picture, another sound track) costs a second,
    // short run. Bringing the sound to a small speaker's loudness costs a run
    // over the sound track alone before the conversion. The observer hears, on the calling thread, of the
    // source's description once and of the progress. The target is written
    // under a temporary name beside it and takes its place only once
    // complete: a run that does not end converted leaves every file as it
    // was, an earlier target included.
    ConversionReport Convert(const ConversionRequest& request, const SourceDescription* known,
                             const StopSignal* stop, EncoderReportSink& observer);

    // Writes one frame of the conversion `request` would make, the one at
    // `seconds` into the source, to `imagePath`, the sound left out. `known`
    // is the source as a probe described it.
    Expected<void> Preview(const ConversionRequest& request, const SourceDescription& known,
                           double seconds, PreviewImage kind, const std::string& imagePath,
                           const StopSignal* stop);

    const std::string& encoderPath() const { return setup_.encoderPath; }

private:
    // A run of the loudness meter: what ffmpeg said of the source as it
    // started, which is all a probe would have said, and the loudness.
    struct LoudnessRun {
        SourceDescription described;  // not read when ffmpeg could not read it
        std::optional<MeasuredLoudness> loudness;  // none when not measured
        bool abandoned = false;                    // `wrongTrack` said so
    };

    // The loudness of the source's sound track `soundTrack`, as the player
    // would get it. The run ends early when, once ffmpeg has described the
    // source, `wrongTrack` says that track is not the one to convert.
    LoudnessRun MeasureLoudness(const ConversionRequest& request, const SourceDescription& source,
                                int soundTrack, const StopSignal* stop,
                                const std::function<bool(const SourceDescription&)>& wrongTrack);

    EncoderSetup setup_;
    std::unique_ptr<EncoderRunner> runner_;
};

// Where a conversion writes until it is complete: beside the target, so that
// it takes the target's place in one step, under a name a card can hold.
std::string PartialTargetPath(const std::string& targetPath);

}  // namespace vantrel
