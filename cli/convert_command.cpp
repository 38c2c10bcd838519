#include "cli/convert_command.h"

#include <algorithm>
#include <atomic>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "cli/cli_options.h"
#include "cli/console_observer.h"
#include "conversion/converter.h"
#include "conversion/simultaneous_conversions.h"
#include "conversion/source_finder.h"
#include "conversion/target_room.h"
#include "platform/removable_cards.h"
#include "platform/system_language.h"
#include "platform/translation.h"
#include "platform/utf8_path.h"
#include "conversion/encoder_location.h"
#include "cli/file_conversion.h"
#include "cli/output_terminal.h"
#include "cli/shared_console.h"
#include "cli/stop_on_signal.h"

namespace vantrel::cli {
namespace {

constexpr int kAllConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;
constexpr int kInterrupted = 130;

// The frame at a third of `file`, as the player will show it, written to `png`.
int WritePreview(const std::string& file, const std::string& png, ConversionRequest settings,
                 const StopSignal& stop) {
    settings.sourcePath = AbsolutePath(file);
    EncoderSetup setup;
    setup.encoderPath = LocateEncoder();
    Converter converter(std::move(setup));
    const auto probe = converter.Probe(settings.sourcePath, &stop);
    if (!probe) {
        if (probe.reason().outcome == ConversionOutcome::kStopped) return kInterrupted;
        std::cerr << "vantrel-convert: " << file << ": "
                  << (probe.reason().reason.empty() ? Tr("not a movie ffmpeg can read") : probe.reason().reason)
                  << '\n';
        return kSomeFailed;
    }
    // The first frame converted, when a start is given.
    const double third = static_cast<double>(probe->durationHundredths.value_or(0)) / 300.0;
    const double at = settings.trim.start.value_or(third);
    const Expected<void> written =
        converter.Preview(settings, *probe, at, PreviewImage::kPng, png, &stop);
    if (!written) {
        if (stop.IsSignalled()) return kInterrupted;
        // TRANSLATORS: {1} is why the picture could not be made, in the words of ffmpeg or the system.
        std::cerr << "vantrel-convert: " << file << ": " << Fill(Tr("no preview: {1}"), {written.reason()}) << '\n';
        return kSomeFailed;
    }
    std::cout << LabelledLine(LineLabel::kPreview, png);
    return kAllConverted;
}

// A line a card, its columns parted by tabs for scripts:
// "/media/me/PLAYER	PLAYER	FAT	3.1 GB free".
std::string CardLines(const std::vector<RemovableCard>& cards) {
    std::string lines;
    for (const RemovableCard& card : cards) {
        std::string space = Tr("free space unknown");
        // TRANSLATORS: {1} is an amount of space such as 3.1 GB.
        if (card.freeBytes) space = Fill(Tr("{1} free"), {SizeText(static_cast<double>(*card.freeBytes))});
        lines += card.folder + '\t' + card.label + '\t' + card.fileSystem + '\t' + space + '\n';
    }
    return lines;
}

}  // namespace

int RunConvertCommand(const std::vector<std::string>& arguments) {
    const CliOptions options = ParseCommandLine(arguments);
    switch (options.action) {
        case CliOptions::Action::kHelp:
            std::cout << UsageText();
            return kAllConverted;
        case CliOptions::Action::kVersion:
            std::cout << VersionText();
            return kAllConverted;
        case CliOptions::Action::kUsageError:
            std::cerr << "vantrel-convert: " << options.error << '\n'
                      << Tr("Try 'vantrel-convert --help' for more information.") << '\n';
            return kUsageError;
        case CliOptions::Action::kListCards:
            std::cout << CardLines(ListRemovableCards());
            return kAllConverted;
        case CliOptions::Action::kConvert:
            break;
    }

    // Made before any encoder runs, so that no signal finds the program
    // without a way to stop it cleanly.
    auto stop = std::make_shared<StopSignal>();
    if (!StopOnTerminationSignals(stop)) {
        std::cerr << "vantrel-convert: " << Tr("cannot prepare to stop on Ctrl-C") << '\n';
        return kSomeFailed;
    }

    ConversionRequest settings;
    settings.videoKilobits = options.videoKilobits;
    settings.fit = options.fit;
    settings.subtitles = options.subtitles;
    if (settings.subtitles.mode == SubtitleMode::kFile) {
        settings.subtitles.file = AbsolutePath(settings.subtitles.file);
    }
    settings.preferredLanguage = options.language.empty() ? SystemLanguage() : options.language;
    settings.normalizeLoudness = options.normalizeLoudness;
    settings.subtitleEncoding = options.subtitleEncoding;
    settings.trim = options.trim;
    if (!options.previewPath.empty()) {
        return WritePreview(options.files.front(), AbsolutePath(options.previewPath), settings, *stop);
    }

    // Folders give the movies in them; a file named twice is converted once.
    const std::vector<std::string> files = FindSources(options.files);
    const std::string outputFolder =
        options.outputFolder.empty() ? std::string() : AbsolutePath(options.outputFolder);
    const int jobs = std::max(1, std::min<int>(options.jobs > 0 ? options.jobs : DefaultSimultaneousConversions(),
                                               static_cast<int>(files.size())));
    settings.threads = ThreadsPerConversion(jobs);
    const OutputTerminal terminal = DescribeStandardOutput();
    SharedConsole console(std::cout, std::cerr, terminal.live, jobs > 1, terminal.width);

    // Every target is decided, in the order the files are named, before any
    // file starts, so that which of two twins is refused never depends on
    // which conversion ends first.
    std::vector<FileResult> results(files.size(), FileResult::kFailed);
    std::vector<std::pair<size_t, SourceAndTarget>> toConvert;
    std::map<std::string, std::string> sourceOfTarget;
    for (size_t i = 0; i < files.size(); ++i) {
        FileConsole fileConsole{console, files[i]};
        if (const auto file = ResolveFile(files[i], outputFolder, fileConsole, results[i])) {
            const auto [earlier, first] = sourceOfTarget.emplace(file->target, file->source);
            if (first) {
                toConvert.emplace_back(i, *file);
            } else {
                results[i] = RefuseSharedTarget(*file, earlier->second, fileConsole);
            }
        }
    }

    // Each worker takes the next file in order, with a Converter of its own,
    // since one Converter runs one ffmpeg at a time.
    std::atomic<size_t> next{0};
    const auto work = [&] {
        EncoderSetup setup;
        setup.encoderPath = LocateEncoder();
        setup.consoleInputFd = -1;  // the terminal's keys are for Ctrl-C, not for ffmpeg
        Converter converter(std::move(setup));
        for (size_t taken; (taken = next++) < toConvert.size();) {
            // After a stop no file is begun at all.
            const auto& [index, file] = toConvert[taken];
            if (stop->IsSignalled()) {
                results[index] = FileResult::kStopped;
                continue;
            }
            FileConsole fileConsole{console, files[index]};
            if (jobs == 1 && taken > 0) fileConsole.Print("\n");
            results[index] = ConvertFile(file, converter, settings, *stop, fileConsole);
        }
    };
    std::vector<std::thread> workers;
    for (int i = 1; i < jobs; ++i) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();

    bool anyFailed = false;
    for (const FileResult result : results) {
        if (result == FileResult::kStopped) return kInterrupted;
        anyFailed = anyFailed || result != FileResult::kConverted;
    }
    return anyFailed ? kSomeFailed : kAllConverted;
}

}  // namespace vantrel::cli
