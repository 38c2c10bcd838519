#include "conversion/sound_filters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace vantrel {
namespace {

// The layouts ffmpeg names that have a centre channel, where films keep their
// dialogue.
constexpr std::array<std::string_view, 18> kLayoutsWithCentre = {
    "3.0", "4.0", "5.0", "5.0(side)", "3.1", "4.1", "5.1", "5.1(side)", "6.0",
    "6.1", "6.1(back)", "7.0", "7.0(front)", "7.1", "7.1(wide)", "7.1(wide-side)",
    "hexagonal", "octagonal"};

bool HasCentre(const SoundTrack& track) {
    for (const std::string_view layout : kLayoutsWithCentre) {
        if (track.layout == layout) return true;
    }
    return false;
}

// A plain fold to mono gives the effects and music of the other channels as
// much room as the speech, and on a small speaker the speech drowns. Every
// layout with a centre is first brought to 5.1 (ffmpeg folds the back and
// side channels of larger ones together), then mixed with the centre as half
// of the whole: speech in the centre stands 3.7 dB higher against the effects
// around it than in ffmpeg's own fold (measured by the tests). The
// low-frequency channel is left out: a small speaker cannot play it. The
// weights add up to one, so the mix cannot overflow.
constexpr const char* kDialogueFold =
    "aformat=channel_layouts=5.1,pan=mono|c0=0.5*FC+0.15*FL+0.15*FR+0.1*BL+0.1*BR";

// About the loudness of a phone's own media, which a small speaker or
// earphones play without distortion: -16 LUFS integrated, with the true peak
// at most 1.5 dB under full scale.
constexpr double kTargetLufs = -16.0;
constexpr double kTruePeakCeiling = -1.5;
// A film mastered very quietly is raised by at most this much, so that its
// hiss does not become a roar; silence is left alone.
constexpr double kMostGain = 24.0;
constexpr double kSilenceLufs = -70.0;
// Where the limiter holds the samples when the gain would lift a peak above
// the ceiling: 1.5 dB under it, for the peaks between samples and
// the MP2 encoder's own overshoot.
constexpr double kLimiterDbfs = kTruePeakCeiling - 1.5;

// The sound folded to the format's channels (ffmpeg's own fold, as the
// encoder's would be) before it is measured, and before the gain and the
// limiter: a mono fold is up to 3 dB quieter than the stereo it came from.
std::string Folded(const OutputFormat& format) {
    return format.soundChannels == 1 ? ",aformat=channel_layouts=mono" : "";
}

std::string Decibels(double db) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1fdB", db);
    return text;
}

// One gain for the whole film, from the loudness measured before: unlike a
// gain that follows the sound as it plays, it cannot pump. Only the peaks the
// gain would lift above the ceiling are held down by the limiter.
std::string LoudnessFilters(const MeasuredLoudness& measured) {
    if (measured.integratedLufs <= kSilenceLufs) return {};
    const double gain = std::min(kTargetLufs - measured.integratedLufs, kMostGain);
    std::string filters = ",volume=" + Decibels(gain);
    // The meter reads the samples' peak, not the peaks between them, which
    // would take it a quarter of its time more: the limiter goes in whenever
    // the samples would reach its own level, which leaves the margin for the
    // peaks between them.
    if (measured.samplePeakDbfs + gain > kLimiterDbfs) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%.3f", std::pow(10.0, kLimiterDbfs / 20.0));
        filters += std::string(",alimiter=limit=") + limit + ":level=0";
    }
    return filters;
}

}  // namespace

std::string SoundChain(const OutputFormat& format, const SoundTrack* track,
                       const MeasuredLoudness* measured) {
    std::string chain;
    if (track != nullptr && format.soundChannels == 1 && HasCentre(*track)) {
        chain += std::string(kDialogueFold) + ",";
    }
    // Gaps and overlaps in the sound's timestamps are filled or trimmed, so it
    // stays in step with the picture however the source's clock wanders.
    chain += "aresample=" + std::to_string(format.soundSampleRate) + ":async=1";
    if (track != nullptr && measured != nullptr) chain += Folded(format) + LoudnessFilters(*measured);
    return chain;
}

std::string LoudnessMeter(const OutputFormat& format, const SoundTrack& track) {
    // The loudness is measured on the sound the player gets, at its rate:
    // what lies above half of it is gone, and with it up to 1.6 LU of a
    // bright source's loudness. The meter's line for each tenth of a second
    // goes to the verbose log, which the run does not ask for.
    std::string meter;
    if (format.soundChannels == 1 && HasCentre(track)) meter += std::string(kDialogueFold) + ",";
    return meter + "aresample=" + std::to_string(format.soundSampleRate) + Folded(format) +
           ",ebur128=peak=sample:framelog=verbose";
}

}  // namespace vantrel
