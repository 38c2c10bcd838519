#include "cli/file_conversion.h"

#include <cstdio>

#include "cli/console_observer.h"
#include "cli/progress_display.h"
#include "cli/source_readability.h"
#include "conversion/outcome_message.h"
#include "conversion/target_naming.h"
#include "platform/program_folder.h"
#include "platform/target_file.h"
#include "platform/translation.h"
#include "platform/utf8_path.h"

namespace vantrel::cli {
namespace {

// The window's layout, text first and path after, one line each; why, when
// known, after the text.
void ReportFailure(FileConsole& console, const ConversionReport& report, const std::string& source) {
    std::string text = OutcomeText(report.outcome);
    // TRANSLATORS: {1} is how a conversion ended, such as "Unable to decode source video", {2} why.
    if (!report.reason.empty()) text = Fill(Tr("{1}: {2}"), {text, report.reason});
    console.PrintError(text + '\n' + source + '\n');
}

void ReportProblem(FileConsole& console, const std::string& source, const std::string& why) {
    console.PrintError("vantrel-convert: " + source + ": " + why + '\n');
}

FileResult Stopped(FileConsole& console, const std::string& source) {
    ReportProblem(console, source, Tr("stopped; no file was left behind"));
    return FileResult::kStopped;
}

// "12.5", the seconds to a tenth.
std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
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
        ReportProblem(console, file, Tr("cannot tell which folder it is in"));
        return std::nullopt;
    }
    if (const std::string why = WhyUnreadable(source); !why.empty()) {
        // TRANSLATORS: {1} is the system's reason, such as "Permission denied".
        ReportProblem(console, source, Fill(Tr("cannot read: {1}"), {why}));
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
        // TRANSLATORS: {1} is a folder's path, {2} the system's reason, such as "Read-only file system".
        ReportProblem(console, source, Fill(Tr("cannot write in {1} ({2}): choose a folder with --output-dir"),
                                            {folder, writable.reason()}));
        return std::nullopt;
    }
    return SourceAndTarget{source, *target};
}

FileResult RefuseSharedTarget(const SourceAndTarget& file, const std::string& earlier,
                              FileConsole& console) {
    // TRANSLATORS: {1} is the path of a file named before, {2} the path of the file both would become.
    ReportProblem(console, file.source, Fill(Tr("not converted: {1} is converted to the same file {2}"),
                                             {earlier, file.target}));
    return FileResult::kRejected;
}

FileResult ConvertFile(const SourceAndTarget& file, Converter& converter,
                       const ConversionRequest& settings, const StopSignal& stop,
                       FileConsole& console) {
    const std::string& source = file.source;
    console.Print(LabelledLine(LineLabel::kSource, source));
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
    // TRANSLATORS: {1} is a number of seconds, such as 12.5.
    std::string lines = Fill(Tr("Converted in {1} s"), {Seconds(report.seconds)}) + '\n';
    for (const std::string& note : report.notes) lines += LabelledLine(LineLabel::kNote, note);
    console.Print(lines);
    return FileResult::kConverted;
}

}  // namespace vantrel::cli
