#include "conversion/converter.h"

#include "encoder/command_line.h"
#include "conversion/conversion_filters.h"
#include "parse/encoder_output_parser.h"
#include "parse/parser_state.h"
#include "platform/program_folder.h"
#include "platform/target_file.h"

namespace vantrel {
namespace {

// The folder whose file system a conversion must not fill up.
std::string WatchedFolderFor(const std::string& targetPath) {
    const std::string folder = FolderOf(targetPath);
    if (!folder.empty()) return folder;
    // A file at the root, or a bare name in the current folder.
    return targetPath.rfind('/', 0) == 0 ? "/" : ".";
}

// Keeps what a probe's ffmpeg reports for the panel.
class DescriptionSink : public EncoderReportSink {
public:
    explicit DescriptionSink(SourceDescription& description) : description_(description) {}
    void SetPanelText(PanelField field, std::string_view text) override {
        description_.Text(field) = std::string(text);
    }
    void PostProgress(int32_t) override {}

private:
    SourceDescription& description_;
};

}  // namespace

Converter::Converter(EncoderSetup setup)
    : setup_(std::move(setup)), runner_(setup_.freeSpace.get(), setup_.consoleInputFd) {}

ProbeResult Converter::Probe(const std::string& sourcePath, const StopSignal* stop) {
    ProbeResult result;
    DescriptionSink sink(result.source);
    ParserState state;
    // Without an output ffmpeg describes its input and then fails; the words
    // are the conversion's own, so that it reads the input just as it will.
    const PumpResult run = runner_.Run(
        setup_.encoderPath,
        TranslateForInstalledEncoder(ArgumentWords(sourcePath, kDefaultVideoBitrate, "")), stop,
        "", state, sink);
    result.source.durationHundredths = state.durationHundredths;
    result.source.hasSound = state.sawSound;
    switch (run.status) {
        case kOutputEnded:
            result.outcome =
                result.source.durationHundredths > 0 ? kConverted : kUndecodableSource;
            break;
        case kStopRequested: result.outcome = kStopped; break;
        case kTooManyDecodeErrors: result.outcome = kUndecodableSource; break;
        case kDriveFull:  // not watched
        case kNotStarted: result.outcome = kNotCarriedOut; break;
    }
    return result;
}

ConversionOutcome Converter::Convert(const ConversionRequest& request, const StopSignal* stop,
                                     EncoderReportSink& observer) {
    // ffmpeg describes its input again before the first progress line, so the
    // run measures its progress against the duration it reads itself.
    ParserState state;
    state.progressEnabled = true;
    PostProgress(state, observer);

    const std::string& target = request.targetPath;
    const TargetSnapshot before = SnapshotTarget(target);
    const auto runWith = [&](const ConversionRequest& asked) {
        return runner_.Run(setup_.encoderPath,
                           TranslateForInstalledEncoder(
                               ArgumentWords(asked.sourcePath, asked.videoBitrate, target),
                               ConversionFilters(asked)),
                           stop, WatchedFolderFor(target), state, observer);
    };
    PumpResult run = runWith(request);
    // A source believed to have sound that has none: ffmpeg refused the sound
    // it was asked for once it had described the source, before writing. Only
    // such a source costs a second run, this time with a silent track.
    if (request.sourceHasSound && run.status == kOutputEnded && run.exitCode != 0 &&
        (stop == nullptr || !stop->IsSignalled()) &&
        !state.sawSound && state.durationHundredths > 0 && state.positionHundredths == 0) {
        ConversionRequest silent = request;
        silent.sourceHasSound = false;
        state = ParserState{};
        state.progressEnabled = true;
        run = runWith(silent);
    }

    ConversionOutcome outcome = kNotCarriedOut;
    switch (run.status) {
        case kOutputEnded:
            if (run.exitCode != 0) {
                outcome = run.reportedNoSpace ? kNotEnoughSpace : kConversionFailed;
            } else {
                outcome = GetFileLength(target) == 0 ? kConversionFailed : kConverted;
            }
            break;
        case kStopRequested: outcome = kStopped; break;
        case kDriveFull: outcome = kNotEnoughSpace; break;
        case kTooManyDecodeErrors: outcome = kUndecodableSource; break;
        case kNotStarted: outcome = kNotCarriedOut; break;
    }
    PostProgress(state, observer);
    if (outcome != kConverted) DeleteRunTarget(target, before);
    return outcome;
}

}  // namespace vantrel
