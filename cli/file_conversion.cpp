#include "cli/file_conversion.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "cli/console_observer.h"
#include "conversion/outcome_message.h"
#include "cli/progress_display.h"
#include "cli/source_readability.h"
#include "conversion/source_types.h"
#include "conversion/target_naming.h"

namespace vantrel::cli {
namespace {

// The window's layout, text first and path after, one line each.
void ReportFailure(FileConsole& console, const std::string& text, const std::string& source) {
    console.PrintError(text + '\n' + source + '\n');
}

void ReportProblem(FileConsole& console, const std::string& source, const std::string& why) {
    console.PrintError("vantrel-convert: " + source + ": " + why + '\n');
}

FileResult Stopped(FileConsole& console, const std::string& source) {
    ReportProblem(console, source, "stopped; no file was left behind");
    return FileResult::kStopped;
}

FileResult Failed(FileConsole& console, ConversionOutcome outcome, const std::string& source) {
    ReportFailure(console, OutcomeText(outcome), source);
    return FileResult::kFailed;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

}  // namespace

std::string MakeAbsolute(const std::string& path) {
    // Through char8_t, since on Windows a path made from plain chars would
    // read them in the system's code page rather than as UTF-8.
    std::error_code error;
    const std::filesystem::path absolute =
        std::filesystem::absolute(std::u8string(path.begin(), path.end()), error);
    // Normal form, so that "./x.mp4" and "x.mp4" name the same target.
    const std::u8string normal = absolute.lexically_normal().u8string();
    return error ? std::string() : std::string(normal.begin(), normal.end());
}

std::optional<SourceAndTarget> ResolveFile(const std::string& file, FileConsole& console,
                                           FileResult& refusal) {
    refusal = FileResult::kFailed;
    const std::string source = MakeAbsolute(file);
    if (source.empty()) {
        ReportProblem(console, file, "cannot tell which folder it is in");
        return std::nullopt;
    }
    if (const std::string why = WhyUnreadable(source); !why.empty()) {
        ReportProblem(console, source, "cannot read: " + why);
        return std::nullopt;
    }
    std::string target;
    if (const int naming = DeriveTargetPath(target, source, kTargetExtension);
        naming != kTargetDerived) {
        ReportProblem(console, source, DescribeRejectedName(naming));
        refusal = FileResult::kRejected;
        return std::nullopt;
    }
    return SourceAndTarget{source, target};
}

FileResult RefuseSharedTarget(const SourceAndTarget& file, const std::string& earlier,
                              FileConsole& console) {
    ReportProblem(console, file.source,
                  "not converted: " + earlier + " is converted to the same file " + file.target);
    return FileResult::kRejected;
}

FileResult ConvertFile(const SourceAndTarget& file, Converter& converter, int32_t videoBitrate,
                       PictureFit fit, const StopSignal& stop, FileConsole& console) {
    const std::string& source = file.source;
    console.Print("Source:       " + source + '\n');
    if (stop.IsSignalled()) return Stopped(console, source);
    const auto start = ProgressDisplay::Clock::now();
    ConsoleObserver observer(console, file.target, start);
    // Sound is assumed: the conversion itself finds out, and adds a silent
    // track to a source without any.
    const ConversionRequest request{source, file.target, videoBitrate, fit, true};
    ConversionOutcome outcome = converter.Convert(request, &stop, observer);
    observer.Finish();

    if (outcome == kStopped) return Stopped(console, source);
    // A source ffmpeg could not even describe is one it cannot decode.
    if (outcome == kConversionFailed && !observer.DescribedSource()) outcome = kUndecodableSource;
    if (outcome != kConverted) return Failed(console, outcome, source);
    const double took =
        std::chrono::duration<double>(ProgressDisplay::Clock::now() - start).count();
    console.Print("Converted in " + Seconds(took) + '\n');
    return FileResult::kConverted;
}

}  // namespace vantrel::cli
