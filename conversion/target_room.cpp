#include "conversion/target_room.h"

#include <cmath>
#include <cstdio>

#include "conversion/output_format.h"
#include "platform/removable_cards.h"

namespace vantrel {
namespace {

// The share and the bytes added to the bitrates' size; see BytesNeeded.
constexpr double kMarginShare = 0.10;
constexpr double kMarginBytes = 512 * 1024;

}  // namespace

std::string SizeText(double bytes) {
    char text[32];
    if (bytes < 1e6) {
        std::snprintf(text, sizeof text, "%.0f kB", bytes / 1e3);
    } else if (bytes < 1e9) {
        std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
    } else {
        std::snprintf(text, sizeof text, "%.1f GB", bytes / 1e9);
    }
    return text;
}

double ExpectedBytes(int32_t videoKilobits, double seconds) {
    return (videoKilobits + kPlayerFormat.soundKilobits) * 1000.0 * seconds / 8;
}

// Measured at each quality: a 2-minute film with grain comes out at 0.77 to
// 0.84 times the bitrates' size, 20 s clips from a still picture to grain at
// 0.17 to 1.21, the excess being the program stream's packets and the rate
// control's first, costly frames, which half a megabyte covers in a short
// movie. Only a picture of pure noise went further (twice the size at the
// lowest quality): such a run meets the full card, as any guess allows.
uint64_t BytesNeeded(int32_t videoKilobits, double seconds) {
    return static_cast<uint64_t>(
        std::ceil(ExpectedBytes(videoKilobits, seconds) * (1 + kMarginShare) + kMarginBytes));
}

std::string PlaceName(const std::string& folder) {
    const std::optional<RemovableCard> card = CardHolding(folder, ListRemovableCards());
    return card ? card->label : folder;
}

std::optional<std::string> WhyItWillNotFit(const std::string& folder, uint64_t freeBytes,
                                           uint64_t reservedBytes, int32_t videoKilobits,
                                           double seconds) {
    const uint64_t needed = BytesNeeded(videoKilobits, seconds);
    const uint64_t room = freeBytes > reservedBytes ? freeBytes - reservedBytes : 0;
    if (needed <= room) return std::nullopt;
    return PlaceName(folder) + " has " + SizeText(static_cast<double>(room)) +
           " free; this movie needs about " + SizeText(static_cast<double>(needed));
}

std::string FullReason(const std::string& folder) {
    return CardHolding(folder, ListRemovableCards()) ? "The card is full" : "The disk is full";
}

}  // namespace vantrel
