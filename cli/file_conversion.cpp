#include "cli/file_conversion.h"

#include <cstdio>

#include "cli/console_observer.h"
#include "cli/progress_display.h"
#include "cli/source_readability.h"
#include "conversion/outcome_message.h"
#include "conversion/target_naming.h"
#include "platform/program_folder.h"
#include "platform/utf8_path.h"
#include "platform/target_file.h"

namespace vantrel::cli {
namespace {

// The window's layout, text first and path after, one line each; why, when
// known, after the text.
void ReportFailure(FileConsole& console, const ConversionReport& report, const std::string& source) {
    const std::string why = report.reason.empty() ? "" : ": " + report.reason;
    console.PrintError(OutcomeText(report.outcome) + why + '\n' + source + '\n');
}

void ReportProblem(FileConsole& console, const std::string& source, const std::string& why) {
    console.PrintError("vantrel-convert: " + source + ": " + why + '\n');
}

FileResult Stopped(FileConsole& console, const std::string& source) {
    ReportProblem(console, source, "stopped; no file was left behind");
    return FileResult::kStopped;
}


std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

}  // namespace

std::optional<SourceAndTarget> ResolveFile(const std::string& file, const std::string& outputFolder,
                                           FileConsole& console, FileResult& refusal) {
    refusal = FileResult::kFailed;
    // Absolute, so that ffmpeg never reads a name beginning with "-" or
    // holding ":" as an option or a protocol.
    const std::string source = AbsolutePath(file);
    if (source.empty()) {
        ReportProblem(console, file, "cannot tell which folder it is in");
        return std::nullopt;
    }
    if (const std::string why = WhyUnreadable(source); !why.empty()) {
        ReportProblem(console, source, "cannot read: " + why);
        return std::nullopt;
    }
    const Expected<std::string> target = TargetPathFor(source, outputFolder);
    if (!target) {
        ReportProblem(console, source, target.reason());
        refusal = FileResult::kRejected;
        return std::nullopt;
    }
    // A source on a disc, a locked card or a read-only share: told before
    // any work, with the way out.
    const std::string folder = ContainingFolder(*target);
    if (const Expected<void> writable = CheckWritableFolder(folder); !writable) {
        ReportProblem(console, source, "cannot write in " + folder + " (" + writable.reason() +
                                           "): choose a folder with --output-dir");
        return std::nullopt;
    }
    return SourceAndTarget{source, *target};
}

FileResult RefuseSharedTarget(const SourceAndTarget& file, const std::string& earlier,
                              FileConsole& console) {
    ReportProblem(console, file.source,
                  "not converted: " + earlier + " is converted to the same file " + file.target);
    return FileResult::kRejected;
}

FileResult ConvertFile(const SourceAndTarget& file, Converter& converter,
                       const ConversionRequest& settings, const StopSignal& stop,
                       FileConsole& console) {
    const std::string& source = file.source;
    console.Print("Source:       " + source + '\n');
    if (stop.IsSignalled()) return Stopped(console, source);
    ConsoleObserver observer(console, file.target, ProgressDisplay::Clock::now());
    // Nothing is known of the source: the conversion's own run finds out.
    ConversionRequest request = settings;
    request.sourcePath = source;
    request.targetPath = file.target;
    const ConversionReport report = converter.Convert(request, nullptr, &stop, observer);
    observer.Finish();

    switch (report.outcome) {
        case ConversionOutcome::kStopped: return Stopped(console, source);
        case ConversionOutcome::kConverted: break;
        default:
            ReportFailure(console, report, source);
            return FileResult::kFailed;
    }
    std::string lines = "Converted in " + Seconds(report.seconds) + '\n';
    for (const std::string& note : report.notes) lines += "Note:         " + note + '\n';
    console.Print(lines);
    return FileResult::kConverted;
}

}  // namespace vantrel::cli
