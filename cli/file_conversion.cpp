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
#include "converter.h"
#include "outcome_message.h"
#include "progress_display.h"
#include "string_table.h"
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

// A run that ended in failure: the engine's own message when it gave one (an
// encoder that could not be started), else the outcome's text.
FileResult Failed(Console& console, const ConsoleObserver& observer, int32_t outcome,
                  const std::string& source) {
    std::string text = OutcomeText(static_cast<ConversionOutcome>(outcome));
    if (!observer.messages().empty()) text = observer.messages().back();
    if (text.empty()) text = LoadStringResource(kIdsConversionFailed);
    ReportFailure(console, text, source);
    return FileResult::kFailed;
}

void ShowPanel(Console& console, const ConsoleObserver& observer) {
    for (const auto& [field, label] : kPanelLabels) {
        const std::string text = observer.PanelText(field);
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

FileResult ConvertFile(const std::string& file, const std::string& encoderPath,
                       int32_t videoBitrate, const std::shared_ptr<StopSignal>& stop,
                       Console& console) {
    const std::string source = MakeAbsolute(file);
    if (source.empty()) {
        ReportProblem(console, file, "cannot tell which folder it is in");
        return FileResult::kFailed;
    }
    if (const std::string why = WhyUnreadable(source); !why.empty()) {
        ReportProblem(console, source, "cannot read: " + why);
        return FileResult::kFailed;
    }
    std::string target;
    if (const int naming = DeriveTargetPath(target, source, kTargetExtension);
        naming != kTargetDerived) {
        ReportProblem(console, source, DescribeRejectedName(naming));
        return FileResult::kRejected;
    }

    // A converter per file: nothing the previous source taught the parser (its
    // duration, above all) may carry over to this one.
    ConsoleObserver observer;
    EncoderSetup setup;
    setup.encoderPath = encoderPath;
    setup.consoleInputFd = -1;
    Converter converter(std::move(setup), observer);
    converter.SetVideoBitrate(videoBitrate);

    console.out << "Source:       " << source << '\n' << std::flush;
    if (stop->IsSignalled()) return Stopped(console, source);
    const ConversionOutcome probe =
        converter.RunConversion({source, ""}, Converter::kProbeMode, stop);
    if (probe == kStopped) return Stopped(console, source);
    if (probe != kConverted) return Failed(console, observer, probe, source);
    ShowPanel(console, observer);
    const int64_t duration = converter.state().durationHundredths.load();
    if (duration == 0) return Failed(console, observer, kUndecodableSource, source);

    console.out << "Target:       " << target << '\n' << std::flush;
    if (stop->IsSignalled()) return Stopped(console, source);
    ProgressDisplay display(console.out, console.live);
    const auto start = ProgressDisplay::Clock::now();
    display.Start(duration / 100, start);
    observer.FollowWith(&display);
    converter.state().progressEnabled = true;
    const ConversionOutcome outcome =
        converter.RunConversion({source, target}, Converter::kConversionMode, stop);
    converter.state().progressEnabled = false;
    observer.FollowWith(nullptr);
    display.Finish();

    if (outcome == kStopped) return Stopped(console, source);
    if (outcome != kConverted) return Failed(console, observer, outcome, source);
    const double took =
        std::chrono::duration<double>(ProgressDisplay::Clock::now() - start).count();
    console.out << "Converted in " << Seconds(took) << '\n' << std::flush;
    return FileResult::kConverted;
}

}  // namespace vantrel::cli
