#include "converter.h"

#include "command_line.h"
#include "encoder_output_parser.h"
#include "program_folder.h"
#include "target_file.h"

namespace vantrel {

std::string WatchedFolderFor(const std::string& targetPath) {
    if (targetPath.empty()) return "/";
    if (targetPath.find('/') == std::string::npos) return ".";
    const std::string folder = FolderOf(targetPath);
    return folder.empty() ? "/" : folder;
}

Converter::Converter(EncoderSetup setup, RunObserver& observer)
    : setup_(std::move(setup)),
      observer_(observer),
      runner_(setup_.freeSpace.get(), setup_.consoleInputFd) {}

ConversionOutcome Converter::RunConversion(const ConversionRequest& request, unsigned mode,
                                           std::shared_ptr<StopSignal> stop) {
    std::lock_guard<std::mutex> lock(runLock_);
    const bool conversion = (mode & 1u) != 0;
    if (conversion) {
        state_.progressPercent = 0.0f;
        PostProgress(state_, observer_);
    }
    // This call's own copy: the checks after the run use it, whatever later
    // calls do meanwhile.
    const std::string target = request.targetPath;
    std::vector<std::string> arguments;
    if ((request.flags & ConversionRequest::kComposeArguments) != 0) {
        arguments = TranslateForInstalledEncoder(
            ArgumentWords(request.sourcePath, videoBitrate(), target));
    }
    const TargetSnapshot before = SnapshotTarget(target);

    const PumpResult run = runner_.Run(setup_.encoderPath, arguments, stop.get(),
                                       WatchedFolderFor(target), state_, observer_);

    const auto endRun = [&](ConversionOutcome outcome) {
        if (conversion) PostProgress(state_, observer_);
        if (outcome != kConverted) DeleteRunTarget(target, before);
        return outcome;
    };
    switch (run.status) {
        case kOutputEnded:
            if (target.empty()) return endRun(kConverted);  // a probe: ffmpeg always fails it
            if (run.exitCode != 0) {
                return endRun(run.reportedNoSpace ? kNotEnoughSpace : kConversionFailed);
            }
            return endRun(GetFileLength(target) == 0 ? kConversionFailed : kConverted);
        case kStopRequested:
            return endRun(kStopped);
        case kDriveFull:
            return endRun(kNotEnoughSpace);
        case kTooManyDecodeErrors:
            return endRun(kUndecodableSource);
        case kNotStarted:
        default:
            return endRun(kNotCarriedOut);
    }
}

}  // namespace vantrel
