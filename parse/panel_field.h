#pragma once

#include <array>

namespace vantrel {

// The texts the information panel shows of a source, in the order it shows them.
enum class PanelField { kDuration, kBitrate, kVideoCodec, kPictureSize, kFrameRate };

inline constexpr std::array<PanelField, 5> kPanelFields = {
    PanelField::kDuration, PanelField::kBitrate, PanelField::kVideoCodec, PanelField::kPictureSize,
    PanelField::kFrameRate};

}  // namespace vantrel
