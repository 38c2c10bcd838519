#include "conversion/sound_filters.h"

#include <array>
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
// earphones play without distortion: -16 LUFS integrated, a true peak kept
// 1.5 dB under full scale so that the MP2 encoder's own overshoot does not
// clip, and the loudness range of the source kept up to 11 LU, so that the
// gain follows the film only slowly and does not pump.
constexpr const char* kLoudness = "loudnorm=I=-16:TP=-1.5:LRA=11";

}  // namespace

std::string SoundChain(const OutputFormat& format, const SoundTrack* track, bool normalize) {
    std::string chain;
    if (track != nullptr && format.soundChannels == 1 && HasCentre(*track)) {
        chain += std::string(kDialogueFold) + ",";
    }
    // Gaps and overlaps in the sound's timestamps are filled or trimmed, so it
    // stays in step with the picture however the source's clock wanders.
    const std::string rate = "aresample=" + std::to_string(format.soundSampleRate);
    chain += rate + ":async=1";
    // The loudness is measured on the sound the player gets, at its rate:
    // what lies above half of it is gone, and with it up to 1.6 LU of a
    // bright source's loudness. The filter works at a rate of its own, which
    // comes back down to the player's.
    if (track != nullptr && normalize) chain += "," + std::string(kLoudness) + "," + rate;
    return chain;
}

}  // namespace vantrel
