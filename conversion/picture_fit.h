#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vantrel {

// How a source's picture goes into the player's frame.
enum class PictureFit {
    kFit,      // the whole picture, its shape kept, on black bars
    kFill,     // its shape kept, the frame filled, the overflow cropped
    kStretch,  // scaled to exactly the frame, whatever its shape
};

// Each way by the name the command line takes and the settings keep.
struct PictureFitChoice {
    PictureFit fit;
    std::string_view name;
};

inline constexpr std::array<PictureFitChoice, 3> kPictureFits = {{
    {PictureFit::kFit, "fit"},
    {PictureFit::kFill, "fill"},
    {PictureFit::kStretch, "stretch"},
}};

inline constexpr PictureFit kDefaultPictureFit = PictureFit::kFit;

inline std::optional<PictureFitChoice> PictureFitNamed(std::string_view name) {
    for (const PictureFitChoice& choice : kPictureFits) {
        if (choice.name == name) return choice;
    }
    return std::nullopt;
}

}  // namespace vantrel
