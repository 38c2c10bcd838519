#include "file_conversion.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "console_observer.h"
#include "outcome_message.h"
#include "progress_display.h"
#include "source_types.h"
#include "target_naming.h"

namespace vantrel::cli {
namespace {

constexpr std::array<std::pair<PanelField, const char*>, 5> kPanelLabels = {{
    {PanelField::kDuration, "Duration:     "},
    {PanelField::kBitrate, "Bitrate:      "},
    {PanelField::kVideoCodec, "Video codec:  "},
    {PanelField::kPictureSize, "Picture size: "},
    {PanelField::kFrameRate, "Frame rate:   "},
}};

// The window's layout, text first and path after, one line each.
void ReportFailure(Console& console, const std::string& text, const std::string& source) {
    console.out << std::flush;
    console.err << text << '\n' << source << '\n' << std::flush;
}

void ReportProblem(Console& console, const std::string& source, const std::string& why) {
    console.out << std::flush;
    console.err << "vantrel-convert: " << source << ": " << why << '\n' << std::flush;
}

FileResult Stopped(Console& console, const std::string& source) {
    ReportProblem(console, source, "stopped; no file was left behind");
    return FileResult::kStopped;
}

FileResult Failed(Console& console, ConversionOutcome outcome, const std::string& source) {
    ReportFailure(console, OutcomeText(outcome), source);
    return FileResult::kFailed;
}

void ShowPanel(Console& console, const SourceDescription& description) {
    for (const auto& [field, label] : kPanelLabels) {
        const std::string& text = description.Text(field);
        console.out << label << (text.empty() ? "(not reported)" : text) << '\n';
    }
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

}  // namespace

std::string MakeAbsolute(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? std::string() : absolute.string();
}

std::string WhyUnreadable(const std::string& path) {
    // Non-blocking, so that a named pipe with no writer cannot hang the check.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::strerror(errno);
    struct stat info {};
    const bool isFolder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    ::close(fd);
    return isFolder ? std::strerror(EISDIR) : std::string();
}

std::optional<SourceAndTarget> ResolveFile(const std::string& file, Console& console,
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
                              Console& console) {
    ReportProblem(console, file.source,
                  "not converted: " + earlier + " was converted to the same file " + file.target);
    return FileResult::kRejected;
}

FileResult ConvertFile(const SourceAndTarget& file, Converter& converter, int32_t videoBitrate,
                       PictureFit fit, const StopSignal& stop, Console& console) {
    const std::string& source = file.source;
    console.out << "Source:       " << source << '\n' << std::flush;
    if (stop.IsSignalled()) return Stopped(console, source);
    const ProbeResult probe = converter.Probe(source, &stop);
    if (probe.outcome == kStopped) return Stopped(console, source);
    if (probe.outcome != kConverted) return Failed(console, probe.outcome, source);
    ShowPanel(console, probe.source);

    console.out << "Target:       " << file.target << '\n' << std::flush;
    if (stop.IsSignalled()) return Stopped(console, source);
    ProgressDisplay display(console.out, console.live);
    const auto start = ProgressDisplay::Clock::now();
    display.Start(static_cast<double>(probe.source.durationHundredths) / 100.0, start);
    ConsoleObserver observer;
    observer.FollowWith(&display);
    const ConversionRequest request{source, file.target, videoBitrate, fit,
                                    probe.source.hasSound};
    const ConversionOutcome outcome = converter.Convert(request, &stop, observer);
    display.Finish();

    if (outcome == kStopped) return Stopped(console, source);
    if (outcome != kConverted) return Failed(console, outcome, source);
    const double took =
        std::chrono::duration<double>(ProgressDisplay::Clock::now() - start).count();
    console.out << "Converted in " << Seconds(took) << '\n' << std::flush;
    return FileResult::kConverted;
}

}  // namespace vantrel::cli
