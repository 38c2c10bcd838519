#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vantrel {

// How a source's picture goes into the player's 256x192 frame.
enum class PictureFit {
    kFit,      // the whole picture, its shape kept, on black bars
    kFill,     // its shape kept, the frame filled, the overflow cropped
    kStretch,  // scaled to exactly 256x192, whatever its shape
};

// Each way by the name the command line takes, the window's label and its
// radio button (template id).
struct PictureFitChoice {
    PictureFit fit;
    std::string_view name;
    std::string_view label;
    int radioId;
};

inline constexpr std::array<PictureFitChoice, 3> kPictureFits = {{
    {PictureFit::kFit, "fit", "Fit", 1016},
    {PictureFit::kFill, "fill", "Fill", 1017},
    {PictureFit::kStretch, "stretch", "Stretch", 1018},
}};

inline constexpr PictureFit kDefaultPictureFit = PictureFit::kFit;

inline std::optional<PictureFitChoice> PictureFitNamed(std::string_view name) {
    for (const PictureFitChoice& choice : kPictureFits) {
        if (choice.name == name) return choice;
    }
    return std::nullopt;
}

inline std::optional<PictureFitChoice> PictureFitOfRadio(int radioId) {
    for (const PictureFitChoice& choice : kPictureFits) {
        if (choice.radioId == radioId) return choice;
    }
    return std::nullopt;
}

}  // namespace vantrel
