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

// Measured on 20 s sources from a still picture to noise, at each quality:
// the files come out from 0.6 to 1.04 times the bitrates' size, the
// program stream's packets included; a short movie adds its headers and
// the rate control's first, costly frames. A tenth and half a megabyte more
// keep every measured movie inside, and cost little room on a card.
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
