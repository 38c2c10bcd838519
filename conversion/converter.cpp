#include "conversion/converter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <utility>

#include "conversion/card_safe_name.h"
#include "conversion/encoder_arguments.h"
#include "conversion/language_code.h"
#include "conversion/progress_line.h"
#include "conversion/subtitle_files.h"
#include "conversion/subtitle_preparation.h"
#include "conversion/target_room.h"
#include "conversion/track_plan.h"
#include "encoder/encoder_runner.h"
#include "parse/encoder_output_parser.h"
#include "platform/program_folder.h"
#include "platform/target_file.h"
#include "platform/translation.h"
#include "platform/utf8_path.h"

namespace vantrel {
namespace {

// A source whose last progress falls this far short of its stated duration
// ended early: more than a second, and more than the last twentieth.
constexpr int64_t kEarlyEndHundredths = 100;
constexpr int64_t kEarlyEndShare = 20;

struct IgnoreReports : EncoderReportSink {
    void SourceDescribed(const SourceDescription&) override {}
    void Progressed(const ProgressReport&) override {}
};

// Passes a conversion's reports on, the source's description only once
// however many runs it takes.
// The observer hears of the source once, and of the progress through the
// part converted: a run that starts later in the source counts from there.
class Relay : public EncoderReportSink {
public:
    Relay(EncoderReportSink& observer, const Trim& trim) : observer_(observer), trim_(trim) {}
    void SourceDescribed(const SourceDescription& source) override {
        if (source.durationHundredths && *source.durationHundredths > 0) {
            length_ = trim_.Length(static_cast<double>(*source.durationHundredths) / 100.0);
        }
        if (described_) return;
        described_ = true;
        observer_.SourceDescribed(source);
    }
    void Progressed(const ProgressReport& progress) override {
        ProgressReport report = progress;
        if (trim_.Trims()) {
            report.position.reset();
            if (length_ && *length_ > 0) {
                report.position = static_cast<int32_t>(std::clamp(
                    static_cast<double>(progress.convertedHundredths) / (*length_ * 100.0) * 100000.0,
                    -2147483648.0, 2147483647.0));
            }
        }
        observer_.Progressed(report);
    }

private:
    EncoderReportSink& observer_;
    const Trim trim_;
    std::optional<double> length_;  // of the part converted, once known
    bool described_ = false;
};

// ffmpeg names the file it writes by the protocol we gave it; the user knows
// only the target.
std::string InUsersWords(std::string line, const std::string& written, const std::string& target) {
    for (const std::string& name : {"file:" + written, written, std::string("file:")}) {
        for (size_t at; (at = line.find(name)) != std::string::npos;) {
            line.replace(at, name.size(), name == "file:" ? "" : target);
        }
    }
    return line;
}

// The note for the sound track converted of several, counted from 1.
std::string ConvertedTrackNote(const std::vector<SoundTrack>& tracks, int index) {
    const SoundTrack& track = tracks[static_cast<size_t>(index)];
    std::string facts;
    for (const std::string& fact : {LanguageName(track.language), track.layout}) {
        if (fact.empty()) continue;
        facts += (facts.empty() ? "" : ", ") + fact;
    }
    const std::string number = std::to_string(index + 1);
    const std::string count = std::to_string(tracks.size());
    if (facts.empty()) {
        // TRANSLATORS: {1} is the number of the source's sound track, counted from 1; {2} how
        // many sound tracks the source has, always more than one.
        return Fill(Tr("sound track {1} of {2} was converted"), {number, count});
    }
    // TRANSLATORS: {1} is the number of the source's sound track, counted from 1; {2} how many
    // sound tracks the source has, always more than one; {3} what is known of the track, its
    // language and ffmpeg's word for its channels, such as "German, 5.1(side)".
    return Fill(Tr("sound track {1} of {2} ({3}) was converted"), {number, count, facts});
}

// What a conversion takes of a source, and everything ffmpeg needs for it
// made ready. Subtitles are made ready again only when the choice of them
// changes, which a source unlike the one assumed may bring.
class Plan {
public:
    Plan(const ConversionRequest& request, std::string font, std::string copyPath)
        : request_(request),
          font_(std::move(font)),
          copyPath_(std::move(copyPath)),
          besideFiles_(request.subtitles.mode == SubtitleMode::kAuto
                           ? SubtitleFilesBeside(request.sourcePath, request.preferredLanguage)
                           : std::vector<std::string>{}) {}

    // Fails, with the reason, when the subtitles cannot be made ready.
    Expected<void> For(const SourceDescription& source) {
        soundTrack_ = request_.soundTrack >= 0
                          ? request_.soundTrack
                          : ChooseSoundTrack(source.soundTracks, request_.preferredLanguage);
        const ChosenSubtitles chosen = ChooseSubtitles(request_.subtitles, source, soundTrack_,
                                                       besideFiles_, request_.preferredLanguage);
        if (prepared_ && chosen == chosen_) return {};
        Expected<PreparedSubtitles> prepared =
            PrepareSubtitles(chosen, request_, source, font_, copyPath_);
        if (!prepared) return Fail(prepared.reason());
        chosen_ = chosen;
        subtitles_ = std::move(prepared.value());
        prepared_ = true;
        return {};
    }

    int soundTrack() const { return soundTrack_; }
    const PreparedSubtitles& subtitles() const { return subtitles_; }

private:
    const ConversionRequest& request_;
    std::string font_, copyPath_;
    std::vector<std::string> besideFiles_;
    int soundTrack_ = 0;
    ChosenSubtitles chosen_;
    PreparedSubtitles subtitles_;
    bool prepared_ = false;
};

std::vector<std::string> NotesOf(const ParserState& state, const Plan& plan, const Trim& trim) {
    std::vector<std::string> notes;
    const SourceDescription& source = state.source;
    if (!source.hasPicture) {
        notes.push_back(source.hasCoverArt
                            ? Tr("the source has no moving picture: its cover is shown")
                            : Tr("the source has no picture: the movie is black"));
    }
    if (!source.hasSound()) notes.push_back(Tr("the source has no sound: the movie is silent"));
    if (source.soundTracks.size() > 1 && static_cast<size_t>(plan.soundTrack()) < source.soundTracks.size()) {
        notes.push_back(ConvertedTrackNote(source.soundTracks, plan.soundTrack()));
    }
    if (!plan.subtitles().note().empty()) notes.push_back(plan.subtitles().note());
    if (state.lettersWithoutFont > 0) {
        notes.push_back(Tr("some letters of the subtitles are left out: no font on this system has "
                           "them (install one that does, such as fonts-noto-cjk for Japanese, "
                           "Chinese and Korean)"));
    }
    if (state.soundDecodeFailures > 0) {
        const auto places = static_cast<unsigned long>(state.soundDecodeFailures);
        // TRANSLATORS: {1} is how many places of the sound could not be decoded.
        notes.push_back(Fill(TrN("damaged sound was skipped ({1} place)",
                                 "damaged sound was skipped ({1} places)", places),
                             {std::to_string(places)}));
    }
    // Only where ffmpeg told how far it came.
    if (const auto duration = source.durationHundredths;
        duration && *duration > 0 && state.positionHundredths > 0) {
        // The run counts from the start of the part converted; the user
        // knows the source's own clock.
        const int64_t start = std::llround(trim.StartSeconds() * 100);
        const int64_t expected =
            std::llround(trim.Length(static_cast<double>(*duration) / 100.0).value_or(0) * 100);
        const int64_t shortBy = expected - state.positionHundredths;
        if (shortBy > kEarlyEndHundredths && shortBy * kEarlyEndShare > expected) {
            // TRANSLATORS: {1} is where the source's picture and sound end, such as 0:25; {2} the
            // length the source claims, such as 0:50.
            notes.push_back(
                Fill(Tr("the source ends at {1} of its {2}"),
                     {FormatClock(static_cast<double>(start + state.positionHundredths) / 100.0),
                      FormatClock(static_cast<double>(*duration) / 100.0)}));
        }
    }
    return notes;
}

}  // namespace

std::string PartialTargetPath(const std::string& targetPath) {
    const std::string partial = targetPath + ".part";
    const std::string name = FileNamePart(partial);
    if (CardSafeFileName(name, ".part") == name) return partial;
    // A name a card could not hold with ".part" added is cut to fit, and
    // marked with a hash of the whole name, so that two long names that begin
    // alike never share a partial file.
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    char mark[16];
    std::snprintf(mark, sizeof mark, "-%08x.part", hash);
    return JoinPath(FolderPart(targetPath), CardSafeFileName(FileNamePart(targetPath) + mark, mark));
}

Converter::Converter(EncoderSetup setup)
    : setup_(std::move(setup)),
      runner_(std::make_unique<EncoderRunner>(setup_.freeSpace.get(), setup_.consoleInputFd)) {}

Converter::~Converter() = default;

Expected<SourceDescription, ProbeFailure> Converter::Probe(const std::string& sourcePath,
                                                          const StopSignal* stop) {
    ParserState state;
    IgnoreReports ignore;
    PumpSettings settings;
    settings.stop = stop;
    // Without an output ffmpeg describes its input and then fails.
    const PumpResult run =
        runner_->Run(setup_.encoderPath, ProbeArguments(sourcePath).Words(), settings, state, ignore);
    switch (run.status) {
        case RunStatus::kOutputEnded:
        case RunStatus::kAbandoned:
        case RunStatus::kDriveFull:  // not watched
            if (state.source.read && (state.source.hasPicture || state.source.hasCoverArt ||
                                      state.source.hasSound())) {
                return state.source;
            }
            return Fail(ProbeFailure{ConversionOutcome::kUndecodable, state.lastErrorLine});
        case RunStatus::kStopRequested:
            return Fail(ProbeFailure{ConversionOutcome::kStopped, {}});
        case RunStatus::kTooManyDecodeErrors:
            return Fail(ProbeFailure{ConversionOutcome::kUndecodable, state.lastErrorLine});
        case RunStatus::kNotStarted:
            break;
    }
    return Fail(ProbeFailure{ConversionOutcome::kNotStarted, run.whyNotStarted});
}

ConversionReport Converter::Convert(const ConversionRequest& request, const SourceDescription* known,
                                    const StopSignal* stop, EncoderReportSink& observer) {
    const auto start = std::chrono::steady_clock::now();
    ConversionReport report;
    report.target = request.targetPath;
    const std::string written = PartialTargetPath(request.targetPath);
    // What a run that was killed outright left behind.
    RemoveRegularFile(written);

    Relay relay(observer, request.trim);
    SourceDescription assumed = known != nullptr ? *known : AssumedSource();
    Plan plan(request, setup_.subtitleFont, written);

    // A movie that would not fit where it goes, or whose part to convert
    // lies past its end, is refused as soon as its duration is known, before
    // the time is spent on it. The room is looked at once: the run's own
    // writing uses it up.
    const std::string folder = ContainingFolder(request.targetPath);
    std::optional<std::pair<ConversionOutcome, std::string>> refusal;
    bool durationChecked = false;
    const auto lacksRoom = [&](const SourceDescription& source) {
        if (durationChecked || !source.durationHundredths) return refusal.has_value();
        durationChecked = true;
        const double duration = static_cast<double>(*source.durationHundredths) / 100.0;
        if (const std::string why = request.trim.WhyNothingIsLeft(duration); !why.empty()) {
            refusal = {ConversionOutcome::kFailed, why};
        } else if (const std::optional<uint64_t> free = setup_.freeSpace->FreeBytes(folder)) {
            if (std::optional<std::string> tooBig = WhyItWillNotFit(folder, *free, 0, request.videoKilobits,
                                                                 request.trim.Length(duration).value_or(duration))) {
                refusal = {ConversionOutcome::kWillNotFit, *tooBig};
            }
        }
        return refusal.has_value();
    };
    const auto refused = [&](const SourceDescription& source) {
        report.source = source;
        report.outcome = refusal->first;
        report.reason = refusal->second;
        report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return report;
    };
    if (known != nullptr && lacksRoom(*known)) return refused(*known);

    // The loudness is measured over the whole sound track first, so that one
    // gain serves the whole film. The meter's run describes the source as it
    // starts, as a probe would, so a source nobody has described yet needs
    // no probe of its own: the meter starts on the first track, and starts
    // again on the right one if the source says it is another.
    std::optional<MeasuredLoudness> loudness;
    int measuredTrack = -1;
    if (request.normalizeLoudness) {
        const auto wrongTrack = [&](const SourceDescription& described) {
            return lacksRoom(described) || !plan.For(described) || plan.soundTrack() != measuredTrack;
        };
        bool described = known != nullptr;
        for (int attempt = 0; attempt < 2 && assumed.hasSound(); ++attempt) {
            // What nobody has described yet cannot be planned for, but the
            // meter's run describes it.
            const bool ready = static_cast<bool>(plan.For(assumed));
            if (!ready && described) break;
            measuredTrack = ready ? plan.soundTrack() : 0;
            LoudnessRun run = MeasureLoudness(request, assumed, measuredTrack, stop, wrongTrack);
            if (run.described.read) {
                assumed = std::move(run.described);
                described = true;
            }
            loudness = run.loudness;
            if (refusal) return refused(assumed);
            if (!run.abandoned || (stop != nullptr && stop->IsSignalled())) break;
        }
        if (stop != nullptr && stop->IsSignalled()) {
            report.outcome = ConversionOutcome::kStopped;
            return report;
        }
    }
    const auto wordsFor = [&](const SourceDescription& source) -> Expected<std::vector<std::string>> {
        if (const Expected<void> ready = plan.For(source); !ready) return Fail(ready.reason());
        const bool measured = loudness && plan.soundTrack() == measuredTrack;
        return ConversionArguments(kPlayerFormat, request, source, plan.soundTrack(),
                                   measured ? &*loudness : nullptr, plan.subtitles().drawing(),
                                   written)
            .Words();
    };
    ParserState state;
    PumpResult run;
    for (int attempt = 0;; ++attempt) {
        const Expected<std::vector<std::string>> planned = wordsFor(assumed);
        if (!planned) {
            report.source = assumed;
            report.outcome = ConversionOutcome::kFailed;
            report.reason = planned.reason();
            report.seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            return report;
        }
        const std::vector<std::string> words = *planned;
        // A source that needs other words, or whose subtitles cannot be made
        // ready, is run again on what ffmpeg said of it, which then tells.
        const auto wantsOtherWords = [&](const SourceDescription& source) {
            const Expected<std::vector<std::string>> other = wordsFor(source);
            return !other || *other != words;
        };
        // Once ffmpeg has described the source, a run built on a wrong
        // assumption is ended at once, before it writes anything worth having.
        std::optional<bool> wrong;
        PumpSettings settings;
        settings.stop = stop;
        // The target's file system must not fill up.
        settings.watchedFolder = folder;
        settings.abandonWhen = [&](const ParserState& now) {
            if (!wrong && now.sourceComplete) wrong = lacksRoom(now.source) || wantsOtherWords(now.source);
            return wrong.value_or(false);
        };
        state = ParserState{};
        state.progressEnabled = true;
        run = runner_->Run(setup_.encoderPath, words, settings, state, relay);
        // ffmpeg may also refuse a stream it was asked for by itself, once it
        // has described the source and before it writes.
        const bool refusedStream = run.status == RunStatus::kOutputEnded && run.exitCode != 0 &&
                             state.positionHundredths == 0 && state.source.read &&
                             wantsOtherWords(state.source);
        if (refusal) {
            RemoveRegularFile(written);
            return refused(state.source);
        }
        if (attempt > 0 || !(run.status == RunStatus::kAbandoned || refusedStream)) break;
        if (stop != nullptr && stop->IsSignalled()) break;
        assumed = state.source;
    }

    report.source = state.source;
    switch (run.status) {
        case RunStatus::kOutputEnded:
            // ffmpeg 5.1 exits with 0 when the disk fills up as it closes the
            // file. A run that failed before ffmpeg could describe the source
            // failed on the source.
            if (run.reportedNoSpace) {
                report.outcome = ConversionOutcome::kNoSpace;
            } else if (run.exitCode != 0) {
                report.outcome = state.source.read ? ConversionOutcome::kFailed
                                                   : ConversionOutcome::kUndecodable;
            } else if (GetFileLength(written) == 0) {
                report.outcome = ConversionOutcome::kFailed;
            } else if (const Expected<void> placed = MoveIntoPlace(written, request.targetPath);
                       !placed) {
                report.outcome = ConversionOutcome::kFailed;
                report.reason = placed.reason();
            } else {
                report.outcome = ConversionOutcome::kConverted;
            }
            break;
        case RunStatus::kStopRequested: report.outcome = ConversionOutcome::kStopped; break;
        case RunStatus::kDriveFull: report.outcome = ConversionOutcome::kNoSpace; break;
        case RunStatus::kTooManyDecodeErrors: report.outcome = ConversionOutcome::kUndecodable; break;
        case RunStatus::kAbandoned: report.outcome = ConversionOutcome::kFailed; break;
        case RunStatus::kNotStarted:
            report.outcome = ConversionOutcome::kNotStarted;
            report.reason = run.whyNotStarted;
            break;
    }
    if (report.outcome == ConversionOutcome::kConverted) {
        report.targetBytes = GetFileLength(request.targetPath);
        report.notes = NotesOf(state, plan, request.trim);
        if (request.normalizeLoudness && state.source.hasSound() && !loudness) {
            // TRANSLATORS: the movie keeps the source's own loudness.
            report.notes.push_back(Tr("the loudness could not be measured: it is the source's"));
        }
    } else {
        RemoveRegularFile(written);
        if (report.outcome == ConversionOutcome::kNoSpace) {
            report.reason = FullReason(folder);
        } else if (report.reason.empty() && report.outcome != ConversionOutcome::kStopped) {
            report.reason = InUsersWords(state.lastErrorLine, written, request.targetPath);
        }
    }
    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report;
}

Converter::LoudnessRun Converter::MeasureLoudness(
    const ConversionRequest& request, const SourceDescription& source, int soundTrack,
    const StopSignal* stop, const std::function<bool(const SourceDescription&)>& wrongTrack) {
    ParserState state;
    IgnoreReports ignore;
    PumpSettings settings;
    settings.stop = stop;
    std::optional<bool> wrong;
    settings.abandonWhen = [&](const ParserState& now) {
        if (!wrong && now.sourceComplete) wrong = wrongTrack(now.source);
        return wrong.value_or(false);
    };
    const PumpResult run = runner_->Run(
        setup_.encoderPath, LoudnessArguments(kPlayerFormat, request, source, soundTrack).Words(),
        settings, state, ignore);
    LoudnessRun result;
    result.described = state.source;
    result.abandoned = run.status == RunStatus::kAbandoned;
    if (run.status == RunStatus::kOutputEnded && run.exitCode == 0) result.loudness = state.loudness();
    return result;
}

Expected<void> Converter::Preview(const ConversionRequest& request, const SourceDescription& known,
                                  double seconds, PreviewImage kind, const std::string& imagePath,
                                  const StopSignal* stop) {
    Plan plan(request, setup_.subtitleFont, imagePath);
    if (const Expected<void> ready = plan.For(known); !ready) return Fail(ready.reason());
    const std::vector<std::string> words =
        PreviewArguments(kPlayerFormat, request, known, plan.subtitles().drawing(), seconds, kind,
                         imagePath)
            .Words();
    ParserState state;
    IgnoreReports ignore;
    PumpSettings settings;
    settings.stop = stop;
    RemoveRegularFile(imagePath);
    const PumpResult run = runner_->Run(setup_.encoderPath, words, settings, state, ignore);
    if (run.status == RunStatus::kOutputEnded && run.exitCode == 0 && GetFileLength(imagePath) > 0) {
        return {};
    }
    RemoveRegularFile(imagePath);
    switch (run.status) {
        // TRANSLATORS: why a preview was not made: the user stopped it.
        case RunStatus::kStopRequested: return Fail(Tr("stopped"));
        case RunStatus::kNotStarted: return Fail(run.whyNotStarted);
        default: break;
    }
    // ffmpeg ends without a word when the moment lies past the source's end.
    if (run.exitCode == 0 || state.lastErrorLine.empty()) {
        // TRANSLATORS: {1} is a moment of the source, such as 1:05.
        return Fail(Fill(Tr("the source has no picture at {1}"), {FormatClock(seconds)}));
    }
    return Fail(InUsersWords(state.lastErrorLine, imagePath, imagePath));
}

}  // namespace vantrel
