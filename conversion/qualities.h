#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel {

// The four video qualities: the name the command line takes, the video
// bitrate in kbit/s, and the window's radio button (its template id).
struct Quality {
    std::string_view name;
    int32_t kilobits;
    int radioId;
};

inline constexpr std::array<Quality, 4> kQualities = {{
    {"lowest", 192, 1012},
    {"medium-lo", 256, 1013},
    {"medium-hi", 320, 1014},
    {"highest", 384, 1015},
}};

inline constexpr int32_t kDefaultVideoBitrate = 256;

std::optional<Quality> QualityNamed(std::string_view name);
std::optional<Quality> QualityOfRadio(int radioId);

}  // namespace vantrel
