#include "conversion/target_room.h"

#include <cmath>
#include <cstdio>

#include "conversion/output_format.h"
#include "platform/removable_cards.h"
#include "platform/translation.h"

namespace vantrel {
namespace {

// The share and the bytes added to the bitrates' size; see BytesNeeded.
constexpr double kMarginShare = 0.10;
constexpr double kMarginBytes = 512 * 1024;

}  // namespace

std::string SizeText(double bytes) {
    char number[32];
    if (bytes < 1e6) {
        std::snprintf(number, sizeof number, "%.0f", bytes / 1e3);
        // TRANSLATORS: a size in kilobytes; {1} is the number, such as 840.
        return Fill(Tr("{1} kB"), {number});
    }
    if (bytes < 1e9) {
        std::snprintf(number, sizeof number, "%.1f", bytes / 1e6);
        // TRANSLATORS: a size in megabytes; {1} is the number, such as 2.4.
        return Fill(Tr("{1} MB"), {number});
    }
    std::snprintf(number, sizeof number, "%.1f", bytes / 1e9);
    // TRANSLATORS: a size in gigabytes; {1} is the number, such as 3.1.
    return Fill(Tr("{1} GB"), {number});
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
    // TRANSLATORS: {1} is a card's name or a folder's path, {2} and {3} are sizes such as 120 MB.
    return Fill(Tr("{1} has {2} free; this movie needs about {3}"),
                {PlaceName(folder), SizeText(static_cast<double>(room)),
                 SizeText(static_cast<double>(needed))});
}

std::string FullReason(const std::string& folder) {
    return CardHolding(folder, ListRemovableCards()) ? Tr("The card is full")
                                                     : Tr("The disk is full");
}

}  // namespace vantrel
